// Reads each program's version resource and its string 1 (its name in the
// screen saver list) through the platform's own functions, as Explorer and
// the screen saver settings read them, and checks the release's values:
//   version_info.exe <program>...
// Prints one line per value; exits 1 if any is wrong, 2 on a bad command line.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Expected {
    const wchar_t* name;
    const wchar_t* value;
};

const Expected kStrings[] = {
    {L"CompanyName", L"Kervolan"},
    {L"FileDescription", L"Vorn"},
    {L"FileVersion", L"2.1.0.0"},
    {L"InternalName", L"Vorn"},
    {L"LegalCopyright", L"(c) 2026 Kervolan"},
    {L"OriginalFilename", L"Vorn.scr"},
    {L"ProductName", L"Vorn"},
    {L"ProductVersion", L"2.1.0.0"},
};
const wchar_t kListName[] = L"Vorn";
const wchar_t kNumbers[] = L"file 2.1.0.0 product 2.1.0.0 type 1"; // type 1: VFT_APP
const wchar_t kTranslation[] = L"0409 1200";                       // US English, Unicode

int failures = 0;

void Report(const wchar_t* program, const wchar_t* what, bool ok, const std::wstring& found) {
    printf("%s %ls: %ls = \"%ls\"\n", ok ? "ok  " : "FAIL", program, what, found.c_str());
    failures += ok ? 0 : 1;
}

std::wstring Format(const wchar_t* format, ...) {
    wchar_t text[256];
    va_list args;
    va_start(args, format);
    _vsnwprintf(text, 255, format, args);
    va_end(args);
    text[255] = 0;
    return text;
}

void CheckVersionResource(const wchar_t* program) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program, &ignored);
    std::vector<BYTE> data(size ? size : 1);
    if (!size || !GetFileVersionInfoW(program, 0, size, data.data())) {
        Report(program, L"version resource", false, L"none");
        return;
    }
    void* value = nullptr;
    UINT length = 0;
    const auto* fixed =
        VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)
            ? static_cast<const VS_FIXEDFILEINFO*>(value)
            : nullptr;
    const std::wstring numbers =
        fixed && fixed->dwSignature == VS_FFI_SIGNATURE
            ? Format(L"file %u.%u.%u.%u product %u.%u.%u.%u type %lu",
                     HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                     HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS),
                     HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                     HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS),
                     fixed->dwFileType)
            : L"none";
    Report(program, L"fixed part", numbers == kNumbers, numbers);

    // The strings are read from the block that the Translation entry names,
    // as Explorer finds them.
    const WORD* translation =
        VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) &&
                length >= 2 * sizeof(WORD)
            ? static_cast<const WORD*>(value)
            : nullptr;
    const std::wstring language =
        translation ? Format(L"%04x %u", translation[0], translation[1]) : L"none";
    Report(program, L"Translation", language == kTranslation, language);
    if (!translation) return;
    for (const Expected& expected : kStrings) {
        const std::wstring path = Format(L"\\StringFileInfo\\%04x%04x\\%ls", translation[0],
                                         translation[1], expected.name);
        const wchar_t* text = VerQueryValueW(data.data(), path.c_str(), &value, &length) && length
                                  ? static_cast<const wchar_t*>(value)
                                  : nullptr;
        Report(program, expected.name, text && wcscmp(text, expected.value) == 0,
               text ? text : L"(missing)");
    }
}

void CheckListName(const wchar_t* program) {
    HMODULE module = LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    wchar_t text[64] = L"";
    const int length = module ? LoadStringW(module, 1, text, 64) : 0;
    if (module) FreeLibrary(module);
    Report(program, L"string 1", length > 0 && wcscmp(text, kListName) == 0,
           module ? text : L"(cannot load)");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: version_info <program>...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        CheckVersionResource(argv[i]);
        CheckListName(argv[i]);
    }
    return failures ? 1 : 0;
}
