#include "oleauto.h"
#include "winver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

std::map<std::string, std::vector<BYTE>> g_files;
// The buffers GetFileVersionInfoA filled: their size and the block's.
struct Filled {
    size_t size;
    size_t block;
};
std::map<const BYTE*, Filled> g_filled;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return text;
}

const std::vector<BYTE>* Find(LPCSTR path)
{
    if (!path)
        return nullptr;
    auto found = g_files.find(Lower(path));
    return found == g_files.end() || found->second.empty() ? nullptr : &found->second;
}

unsigned Word(const BYTE* at)
{
    return at[0] | at[1] << 8;
}

size_t Align(size_t offset)
{
    return (offset + 3) & ~size_t(3);
}

// A 16-bit block begins its key where a 32-bit one keeps its type word.
bool Is16(const BYTE* block)
{
    return block[4] >= ' ';
}

// One node of the block: where its key, value and children lie.
struct Node {
    size_t start, end;       // the node within the block
    size_t key, keyEnd;      // its key's characters, without the terminator
    size_t value, valueLen;  // its value, in bytes, cut to the node
    unsigned valueUnits;     // wValueLength as stored, cut to the node
    bool text;
    size_t children;
};

bool ReadNode(const BYTE* block, size_t start, size_t limit, bool wide, Node* node)
{
    const size_t head = wide ? 6 : 4;
    if (start + head > limit)
        return false;
    const size_t length = Word(block + start);
    if (length < head || start + length > limit)
        return false;
    node->start = start;
    node->end = start + length;
    node->key = start + head;
    const size_t unit = wide ? 2 : 1;
    size_t at = node->key;
    while (at + unit <= node->end && (wide ? Word(block + at) : block[at]))
        at += unit;
    if (at + unit > node->end)
        return false;
    node->keyEnd = at;
    node->text = wide ? Word(block + start + 4) != 0 : true;
    const size_t valueUnit = wide && node->text ? 2 : 1;
    node->value = Align(at + unit);
    if (node->value > node->end)
        node->value = node->end;
    const size_t room = (node->end - node->value) / valueUnit;
    node->valueUnits = static_cast<unsigned>(Word(block + start + 2) < room ? Word(block + start + 2) : room);
    node->valueLen = node->valueUnits * valueUnit;
    node->children = Align(node->value + node->valueLen);
    return true;
}

bool KeyIs(const BYTE* block, const Node& node, bool wide, const char* name, size_t length)
{
    const size_t unit = wide ? 2 : 1;
    if ((node.keyEnd - node.key) / unit != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        unsigned c = wide ? Word(block + node.key + i * 2) : block[node.key + i];
        unsigned n = static_cast<unsigned char>(name[i]);
        c = (c >= 'A' && c <= 'Z') ? c + 32 : c;
        n = (n >= 'A' && n <= 'Z') ? n + 32 : n;
        if (c != n)
            return false;
    }
    return true;
}

bool FindChild(const BYTE* block, const Node& parent, bool wide, const char* name, size_t length, Node* child)
{
    for (size_t at = parent.children; at < parent.end;) {
        Node node;
        if (!ReadNode(block, at, parent.end, wide, &node))
            return false;
        if (KeyIs(block, node, wide, name, length)) {
            *child = node;
            return true;
        }
        at = Align(node.end);
    }
    return false;
}

} // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle)
{
    if (handle)
        *handle = 0;
    const std::vector<BYTE>* resource = Find(path);
    if (!resource || resource->size() < 6)
        return 0;
    // Room after the block for the texts converted to ANSI, and a signature.
    return static_cast<DWORD>(resource->size() * 2 + 4);
}

BOOL GetFileVersionInfoA(LPCSTR path, DWORD, DWORD size, void* data)
{
    const std::vector<BYTE>* resource = Find(path);
    if (!resource || resource->size() < 6 || !data)
        return FALSE;
    BYTE* buffer = static_cast<BYTE*>(data);
    const size_t copied = size < resource->size() ? size : resource->size();
    std::memcpy(buffer, resource->data(), copied);
    size_t block = Word(resource->data());
    if (block > copied)
        block = copied;
    if (block + 4 <= size)
        std::memcpy(buffer + block, "FE2X", 4);
    g_filled[buffer] = Filled{size, block};
    return TRUE;
}

BOOL VerQueryValueA(const void* data, LPCSTR subBlock, void** buffer, UINT* length)
{
    if (!data || !buffer)
        return FALSE;
    const BYTE* block = static_cast<const BYTE*>(data);
    auto filled = g_filled.find(block);
    if (filled == g_filled.end()) {
        std::fprintf(stderr, "version stand-in: VerQueryValueA on a buffer GetFileVersionInfoA did not fill\n");
        std::abort();
    }
    const size_t blockSize = filled->second.block;
    if (blockSize < 6)
        return FALSE;
    const bool wide = !Is16(block);
    Node node;
    if (!ReadNode(block, 0, blockSize, wide, &node))
        return FALSE;
    const char* path = subBlock && *subBlock ? subBlock : "\\";
    for (const char* p = path; *p;) {
        const char* end = std::strchr(p, '\\');
        if (!end)
            end = p + std::strlen(p);
        if (end == p) {
            ++p;
            continue;
        }
        Node child;
        if (!FindChild(block, node, wide, p, static_cast<size_t>(end - p), &child)) {
            if (length)
                *length = 0;
            return FALSE;
        }
        node = child;
        p = end;
    }
    if (!wide || !node.text) {
        *buffer = const_cast<BYTE*>(block + node.value);
        if (length)
            *length = node.valueUnits;
        return TRUE;
    }
    // A text, converted into the room after the block at the same offset.
    std::vector<wchar_t> text(node.valueUnits);
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(Word(block + node.value + i * 2));
    BYTE* room = const_cast<BYTE*>(block) + blockSize + 4 + node.value;
    const size_t end = filled->second.size;
    const size_t capacity = blockSize + 4 + node.value < end ? end - (blockSize + 4 + node.value) : 0;
    const size_t fit = capacity < blockSize - node.value ? capacity : blockSize - node.value;
    int converted = 0;
    if (!text.empty() && fit)
        converted = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                        reinterpret_cast<char*>(room), static_cast<int>(fit), nullptr, nullptr);
    *buffer = room;
    if (length)
        *length = static_cast<UINT>(converted);
    return TRUE;
}

namespace host_version {
void Clear()
{
    g_files.clear();
    g_filled.clear();
}

void SetFile(const std::string& path, const std::vector<BYTE>& resource)
{
    g_files[Lower(path)] = resource;
}
} // namespace host_version
