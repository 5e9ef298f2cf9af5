// Walks the program's import descriptors to the one entry asked for and rewrites it.
#include "support/import_patch.h"

#include <windows.h>

#include <string.h>

void* patch_import(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
        const DWORD listed = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + listed);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(by_name->Name), function) != 0) continue;
            DWORD old_protection;
            VirtualProtect(&entries->u1.Function, sizeof entries->u1.Function, PAGE_READWRITE, &old_protection);
            void* previous = reinterpret_cast<void*>(entries->u1.Function);
            entries->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&entries->u1.Function, sizeof entries->u1.Function, old_protection, &old_protection);
            return previous;
        }
    }
    return nullptr;
}
