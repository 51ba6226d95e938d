#include "KeyText.h"

const char g_quiKeyText[QUI_KEY_TEXT_LENGTH + 1] =
    "qND5QRM$@}zIp1(WPI{q,91%;L!AIIXV<_s{xRWB~)mDRFS@=h5Y{)yS%M}fVQ.y"
    "X[M)0lq9{)xyHL}<f#Mi$ABQRgY}'j4+CD#s^Dss3-AKO[_S(+G>6cr|W99Gs)k("
    "~]Mz|+SRX.}G!Q~:7=L4Wp+OpKYF,s'Wm`iuIIBX~i6-IIe>8ZTR{:Yy_%B!/Qm3"
    "KpOAg^Yg$s)rj/[9r%&fF(XwG;!}z]G99CS't7s.!M5G/kLcR~OCR=3UmO{6rE#a"
    "KV*{~BvVZDHG7_ha_nPLju}rJ#vl1+!7!|jX{#IVr8hE~I-7%|1](+P3@p`Kp4v+"
    "cH{/V]~fhNeb+c`Qck.mo_n!O;_JxNO~giK5t7_]j:[OT7Aa38H|#y<5f'nx|p^&"
    "a$u1>C:#yUa-INxh[1v<8=1eZCRog:XLp*9jKu2i0uNC3=]R1e(]k>^M4:DV:5'2"
    "Ug^G~sXM+!)[n|%Thk|%dZt&K!XV$$c![>(KBl'w2N(|;_E)U&mLLYr-/:Y1zx(h";

namespace {
const size_t kNoPasswordStart = 66;

size_t Shift(unsigned char* bytes, size_t count, size_t pos, int sign)
{
    pos %= QUI_KEY_TEXT_LENGTH;
    for (size_t i = 0; i < count; ++i) {
        unsigned char key = static_cast<unsigned char>(g_quiKeyText[pos]);
        bytes[i] = static_cast<unsigned char>(bytes[i] + sign * key);
        if (++pos == QUI_KEY_TEXT_LENGTH)
            pos = 0;
    }
    return pos;
}
} // namespace

size_t KeyTextStart(const char* password)
{
    if (!password || !*password)
        return kNoPasswordStart;
    // An 8-bit code always lies inside the key, whatever the sign of char.
    return static_cast<unsigned char>(password[0]);
}

size_t KeyTextDecode(unsigned char* bytes, size_t count, size_t pos)
{
    return Shift(bytes, count, pos, -1);
}

size_t KeyTextEncode(unsigned char* bytes, size_t count, size_t pos)
{
    return Shift(bytes, count, pos, +1);
}

int UnscramblePassword(unsigned char* buffer, int length)
{
    if (!buffer)
        return 1;
    if (length > 0)
        KeyTextDecode(buffer, static_cast<size_t>(length), KeyTextStart(nullptr));
    return 0;
}
