// "ClassGUID" texts: {4d36e97d-e325-11ce-bfc1-08002be10318}. Each member is
// read from fixed character positions with strtoul, so the braces and
// hyphens are never examined and a text that is no GUID still yields one.
#include <cstdlib>
#include <cstring>

#include "registry/annotate.h"
#include "registry/registry_text.h"

namespace quorel {

namespace {

// An 8-bit copy of the text; only the first 37 characters matter.
constexpr size_t kCopySize = 100;
constexpr size_t kFieldSize = 10;

struct Field {
    unsigned first;  // character positions, both included
    unsigned last;
};

constexpr Field kData1{1, 8};
constexpr Field kData2{10, 13};
constexpr Field kData3{15, 18};
constexpr Field kData4[8] = {{20, 21}, {22, 23}, {25, 26}, {27, 28},
                             {29, 30}, {31, 32}, {33, 34}, {35, 36}};

// The field's digits as strtoul reads them; positions at or past the end
// of the text count as its end.
unsigned long ReadField(const char* text, size_t length, Field field) {
    char digits[kFieldSize] = {};
    for (unsigned pos = field.first, i = 0; pos <= field.last && pos < length; ++pos, ++i)
        digits[i] = text[pos];
    return std::strtoul(digits, nullptr, 16);
}

}  // namespace

void ParseClassGuid(DeviceRecord& record, const WCHAR* text) {
    char copy[kCopySize];
    registry::StoreNarrow(copy, text);  // empty when the locale cannot convert it
    const size_t length = std::strlen(copy);
    GUID& guid = record.class_guid;
    guid.Data1 = static_cast<uint32_t>(ReadField(copy, length, kData1));
    guid.Data2 = static_cast<uint16_t>(ReadField(copy, length, kData2));
    guid.Data3 = static_cast<uint16_t>(ReadField(copy, length, kData3));
    for (unsigned i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<uint8_t>(ReadField(copy, length, kData4[i]));
}

}  // namespace quorel
