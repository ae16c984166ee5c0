// Class identifiers to text and back, in COM's braced form.
#include "com/guid_text.h"

#include <cstring>

#include "com/task_memory.h"
#include "guid_format.h"

namespace {

constexpr int kTextLength = com::kGuidTextSize - 1;  // {8-4-4-4-12}

// Where the two hex digits of each byte stand in the text, in the text's byte
// order: Data1 most significant byte first, Data2, Data3, then Data4[0..7].
constexpr int kBytePositions[16] = {1, 3, 5, 7, 10, 12, 15, 17, 20, 22, 25, 27, 29, 31, 33, 35};
constexpr int kDashPositions[4] = {9, 14, 19, 24};

int HexValue(OLECHAR c)
{
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

void ToBytes(const GUID& guid, BYTE bytes[16])
{
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(guid.Data1 >> (24 - 8 * i));
    bytes[4] = static_cast<BYTE>(guid.Data2 >> 8);
    bytes[5] = static_cast<BYTE>(guid.Data2);
    bytes[6] = static_cast<BYTE>(guid.Data3 >> 8);
    bytes[7] = static_cast<BYTE>(guid.Data3);
    std::memcpy(bytes + 8, guid.Data4, 8);
}

GUID FromBytes(const BYTE bytes[16])
{
    GUID guid{};
    for (int i = 0; i < 4; ++i) guid.Data1 = (guid.Data1 << 8) | bytes[i];
    guid.Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
    guid.Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
    std::memcpy(guid.Data4, bytes + 8, 8);
    return guid;
}

}  // namespace

void com::FormatGuid(REFGUID guid, OLECHAR* text)
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    BYTE bytes[16];
    ToBytes(guid, bytes);
    text[0] = u'{';
    for (int position : kDashPositions) text[position] = u'-';
    for (int i = 0; i < 16; ++i) {
        text[kBytePositions[i]] = static_cast<OLECHAR>(kDigits[bytes[i] >> 4]);
        text[kBytePositions[i] + 1] = static_cast<OLECHAR>(kDigits[bytes[i] & 0xF]);
    }
    text[kTextLength - 1] = u'}';
    text[kTextLength] = 0;
}

HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text)
{
    if (text == nullptr) return E_INVALIDARG;
    *text = static_cast<LPOLESTR>(CoTaskMemAlloc(com::kGuidTextSize * sizeof(OLECHAR)));
    if (*text == nullptr) return E_OUTOFMEMORY;
    com::FormatGuid(clsid, *text);
    return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid)
{
    if (clsid == nullptr) return E_INVALIDARG;
    *clsid = GUID{};
    if (text == nullptr) return CO_E_CLASSSTRING;
    int length = 0;
    while (length <= kTextLength && text[length] != 0) ++length;
    if (length != kTextLength || text[0] != u'{' || text[kTextLength - 1] != u'}') return CO_E_CLASSSTRING;
    for (int position : kDashPositions)
        if (text[position] != u'-') return CO_E_CLASSSTRING;
    BYTE bytes[16];
    for (int i = 0; i < 16; ++i) {
        const int high = HexValue(text[kBytePositions[i]]);
        const int low = HexValue(text[kBytePositions[i] + 1]);
        if (high < 0 || low < 0) return CO_E_CLASSSTRING;
        bytes[i] = static_cast<BYTE>(high << 4 | low);
    }
    *clsid = FromBytes(bytes);
    return NOERROR;
}
