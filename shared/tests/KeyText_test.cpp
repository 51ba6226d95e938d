#include "KeyText.h"

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::vector<unsigned char> Bytes(const std::string& s)
{
    return std::vector<unsigned char>(s.begin(), s.end());
}

// The stored form of a password, as whatever writes the setting makes it.
std::vector<unsigned char> Scramble(const std::string& plain)
{
    std::vector<unsigned char> bytes = Bytes(plain);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(bytes[i] + g_quiKeyText[(66 + i) % QUI_KEY_TEXT_LENGTH]);
    return bytes;
}
} // namespace

TEST(KeyText, IsOneLineOfPrintableCharacters)
{
    ASSERT_EQ(static_cast<size_t>(QUI_KEY_TEXT_LENGTH), std::strlen(g_quiKeyText));
    for (int i = 0; i < QUI_KEY_TEXT_LENGTH; ++i)
        EXPECT_TRUE(g_quiKeyText[i] > 32 && g_quiKeyText[i] < 127) << "position " << i;
}

TEST(KeyText, UnscramblesStoredPasswords)
{
    const std::string passwords[] = {
        "secret", "p", "with space", "\xe9t\xe9", std::string(446, 'x'), std::string(447, 'y'), std::string(1200, 'z'),
    };
    for (const std::string& plain : passwords) {
        SCOPED_TRACE(plain.size());
        std::vector<unsigned char> stored = Scramble(plain);
        ASSERT_EQ(0, UnscramblePassword(stored.data(), static_cast<int>(stored.size())));
        EXPECT_EQ(Bytes(plain), stored);
    }
}

TEST(KeyText, UnscrambleLeavesShortOrMissingBuffers)
{
    unsigned char buffer[] = "abc";
    struct Row {
        int length;
    } rows[] = {{0}, {-1}, {-1000}};
    for (const Row& r : rows) {
        EXPECT_EQ(0, UnscramblePassword(buffer, r.length));
        EXPECT_STREQ("abc", reinterpret_cast<char*>(buffer));
    }
    EXPECT_EQ(1, UnscramblePassword(nullptr, 5));
    EXPECT_EQ(1, UnscramblePassword(nullptr, 0));
}

TEST(KeyText, StreamStartsAtThePasswordsFirstCharacter)
{
    struct Row {
        const char* password;
        size_t start;
    } rows[] = {
        {nullptr, 66}, {"", 66}, {"A", 65}, {"MossyLantern582", 'M'}, {"\xff", 255}, {"\x80x", 128},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.start, KeyTextStart(r.password)) << (r.password ? r.password : "(null)");
}

TEST(KeyText, StreamRoundTripsAcrossChunksAndTheKeysEnd)
{
    std::vector<unsigned char> plain(1500);
    for (size_t i = 0; i < plain.size(); ++i)
        plain[i] = static_cast<unsigned char>(i * 7 + 3);
    for (size_t start : {size_t(0), size_t(66), size_t(255), size_t(511)}) {
        SCOPED_TRACE(start);
        std::vector<unsigned char> data = plain;
        size_t pos = KeyTextEncode(data.data(), data.size(), start);
        EXPECT_EQ((start + data.size()) % QUI_KEY_TEXT_LENGTH, pos);
        EXPECT_NE(plain, data);
        // Decoding in uneven pieces must continue the key where it stopped.
        size_t at = 0, key = start;
        for (size_t piece : {size_t(1), size_t(100), size_t(411), size_t(988)}) {
            key = KeyTextDecode(data.data() + at, piece, key);
            at += piece;
        }
        ASSERT_EQ(data.size(), at);
        EXPECT_EQ(plain, data);
    }
}

TEST(KeyText, DecodeSubtractsTheKeyModulo256AndWraps)
{
    // The key ends in "(h" and begins with "q".
    unsigned char bytes[] = {0x00, 0xFF, 0x80};
    const unsigned char expected[] = {0x00 - 0x28 + 0x100, 0xFF - 0x68, 0x80 - 0x71};
    EXPECT_EQ(1u, KeyTextDecode(bytes, 3, 510));
    EXPECT_EQ(0, std::memcmp(expected, bytes, 3));
}
