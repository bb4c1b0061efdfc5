/*
 * GetPrivateProfileStringA / GetPrivateProfileIntA over real files, with the
 * rules Windows applies: the file is read as lines, each ended by LF, CR or
 * CR LF; "[name]" opens a section (the name between the brackets, trimmed of
 * white space); "name=value" is a key, both sides trimmed of white space; a
 * line without "=" is a key without a value.  Section and key names match
 * case-insensitively, the first section and the first key of a name win.  A
 * value in one pair of matching quotes loses them.  A UTF-8 byte order mark is
 * not skipped: it makes the first line's section unreadable, as on Windows.
 * tests/crosscheck compares these rules with the real functions under Wine.
 */
#include <standin.h>

#include <stdio.h>
#include <string.h>
#include <strings.h>

namespace {

struct Key {
    std::string name;
    std::string value;
    bool hasValue;
};

struct Section {
    std::string name;
    std::vector<Key> keys;
};

bool IsProfileSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == 0x1a; }

std::string Trim(const std::string &text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsProfileSpace(text[begin])) begin++;
    while (end > begin && IsProfileSpace(text[end - 1])) end--;
    return text.substr(begin, end - begin);
}

/* A file that CreateFileA is scripted to refuse cannot be read here either. */
bool ReadFile(const char *fileName, std::string *content)
{
    std::string hostPath;
    if (!fileName || !standin::HostPath(fileName, &hostPath)) return false;
    std::string lower = fileName;
    for (char &c : lower) c = (char)tolower((unsigned char)c);
    if (standin::state().openErrors.count(lower)) return false;
    FILE *file = fopen(hostPath.c_str(), "rb");
    if (!file) return false;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) content->append(chunk, got);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}

/* Keys before the first section belong to a section without a name. */
std::vector<Section> Parse(const std::string &content)
{
    std::vector<Section> sections(1);
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find_first_of("\r\n", start);
        if (end == std::string::npos) end = content.size();
        std::string line = Trim(content.substr(start, end - start));
        start = end + 1;
        if (line.empty()) continue;
        size_t close = line.rfind(']');
        if (line[0] == '[' && close != std::string::npos) {
            sections.push_back(Section{Trim(line.substr(1, close - 1)), {}});
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            sections.back().keys.push_back(Key{line, "", false});
        else
            sections.back().keys.push_back(
                Key{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), true});
    }
    return sections;
}

/* The first section of the name decides: a key only in a later one is not found. */
const Key *FindKey(const std::vector<Section> &sections, const char *section, const char *key)
{
    std::string sectionName = Trim(section), keyName = Trim(key);
    for (const Section &candidate : sections) {
        if (strcasecmp(candidate.name.c_str(), sectionName.c_str()) != 0) continue;
        for (const Key &entry : candidate.keys)
            if (strcasecmp(entry.name.c_str(), keyName.c_str()) == 0) return &entry;
        return NULL;
    }
    return NULL;
}

/* The key names of the first section of the name, each terminated and an
 * empty name last; a list that does not fit is cut to size - 2 bytes and
 * ends in two terminators, and the result is then size - 2. */
DWORD CopyKeyNames(const std::vector<Section> &sections, const char *section, LPSTR buffer, DWORD size)
{
    std::string names;
    for (const Section &candidate : sections) {
        if (strcasecmp(candidate.name.c_str(), Trim(section).c_str()) != 0) continue;
        for (const Key &entry : candidate.keys) names += entry.name + '\0';
        break;
    }
    if (names.size() + 1 <= size) {
        memcpy(buffer, names.data(), names.size());
        buffer[names.size()] = '\0';
        return (DWORD)names.size();
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    memcpy(buffer, names.data(), size - 2);
    buffer[size - 2] = buffer[size - 1] = '\0';
    return size - 2;
}

/* Copies value into buffer (size bytes, always terminated); one pair of
 * surrounding quotes is dropped when the closing one fits in the buffer. */
void CopyEntry(LPSTR buffer, DWORD size, std::string value)
{
    bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
                  value[value.size() - 1] == value[0];
    if (quoted) value.erase(0, 1);
    size_t length = value.size() < size - 1 ? value.size() : size - 1;
    memcpy(buffer, value.data(), length);
    buffer[length] = '\0';
    if (quoted && size >= value.size() && length > 0) buffer[length - 1] = '\0';
}

/* The default loses its trailing spaces (but not a lone space). */
std::string TrimDefault(LPCSTR defaultValue)
{
    std::string value = defaultValue ? defaultValue : "";
    while (value.size() > 1 && value[value.size() - 1] == ' ') value.erase(value.size() - 1);
    return value;
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue,
                                      LPSTR buffer, DWORD size, LPCSTR fileName)
{
    standin::Log(std::string("GetPrivateProfileStringA(") + (section ? section : "NULL") + "," +
                 (key ? key : "NULL") + ")");
    if (!buffer || size == 0) return 0;
    std::string fallback = TrimDefault(defaultValue);
    /* A file that cannot be read counts as an empty one: the default then
     * loses its quotes just as it does when only the key is missing. */
    std::string content;
    if (!ReadFile(fileName, &content)) content.clear();
    std::vector<Section> sections = Parse(content);
    if (section && !key) return CopyKeyNames(sections, section, buffer, size);
    const Key *entry = NULL;
    if (section && key) entry = FindKey(sections, section, key);
    CopyEntry(buffer, size, entry && entry->hasValue ? entry->value : fallback);
    return (DWORD)strlen(buffer);
}

/* Reads the value (at most 29 characters) and converts it as the system's
 * string-to-integer routine does: leading blanks, one sign, a "0x", "0o" or
 * "0b" prefix, then digits up to the first that does not belong; the result
 * wraps modulo 2^32.  An empty or missing value gives the default. */
UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName)
{
    char value[30];
    if (GetPrivateProfileStringA(section, key, "", value, sizeof value, fileName) == 0)
        return (UINT)defaultValue;
    const char *p = value;
    while (*p && (unsigned char)*p <= ' ') p++;
    bool minus = false;
    if (*p == '+' || *p == '-') minus = *p++ == '-';
    unsigned base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'o' || p[1] == 'b')) {
        base = p[1] == 'x' ? 16 : p[1] == 'o' ? 8 : 2;
        p += 2;
    }
    uint32_t total = 0;
    for (; *p; ++p) {
        int digit = (*p >= '0' && *p <= '9')   ? *p - '0'
                    : (*p >= 'A' && *p <= 'Z') ? *p - 'A' + 10
                    : (*p >= 'a' && *p <= 'z') ? *p - 'a' + 10
                                               : -1;
        if (digit < 0 || (unsigned)digit >= base) break;
        total = total * base + (uint32_t)digit;
    }
    return minus ? 0u - total : total;
}
