// The exported slot-set functions.
#include "Guard.h"
#include "Slots.h"

using namespace osprey;

namespace {
const PRSWCHAR kEmptyText[1] = {0};
}

extern "C" {

Slots* PRSAPI SlotsInit(void)
{
    return Guarded<Slots*>(nullptr, [] { return new Slots; });
}

void PRSAPI SlotsDeinit(Slots* slots)
{
    delete slots;
}

Slots* PRSAPI SlotsClear(Slots* slots)
{
    if (slots)
        slots->records.clear();
    return slots;
}

int PRSAPI SlotsHasSlot(const Slots* slots, int id)
{
    return slots && slots->Find(id) ? 1 : 0;
}

int PRSAPI SlotsGetInt(const Slots* slots, int id)
{
    const SlotRecord* r = slots ? slots->Find(id) : nullptr;
    return r && r->value.Kind() == kIntValue ? r->value.IntValue() : 0;
}

const PRSWCHAR* PRSAPI SlotsGetString(const Slots* slots, int id)
{
    const SlotRecord* r = slots ? slots->Find(id) : nullptr;
    return r && r->value.Kind() == kStringValue ? r->value.Text() : kEmptyText;
}

int PRSAPI SlotsGetData(const Slots* slots, int id, const void** bytes)
{
    const SlotRecord* r = slots ? slots->Find(id) : nullptr;
    if (!r || r->value.Kind() != kDataValue)
        return 0;
    if (bytes)
        *bytes = r->value.DataBytes();
    return r->value.Length();
}

int PRSAPI SlotsSetInt(Slots* slots, int id, int value)
{
    if (slots)
        Guarded([&] { slots->Set(id, SlotValue::Int(value)); });
    return value;
}

const PRSWCHAR* PRSAPI SlotsSetString(Slots* slots, int id, const PRSWCHAR* text)
{
    if (!slots)
        return nullptr;
    return Guarded<const PRSWCHAR*>(nullptr, [&] {
        const PRSWCHAR* from = text ? text : kEmptyText;
        SlotValue value = SlotValue::String(from, TextLength(from));
        SlotRecord& r = slots->FindOrInsert(id);
        r.value = std::move(value);
        return r.value.Text();
    });
}

int PRSAPI SlotsSetData(Slots* slots, int id, int count, const void* bytes)
{
    if (!slots || count < 0 || (count > 0 && !bytes))
        return 0;
    return Guarded(0, [&] {
        slots->Set(id, SlotValue::Data(bytes, static_cast<uint32_t>(count)));
        return count;
    });
}

} // extern "C"
