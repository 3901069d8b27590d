// A shell link read back through the shell's own link object, as the system reads it.
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <ostream>
#include <string>

namespace testsupport {

struct Link {
    std::string path, arguments, workingFolder, icon;
    int iconIndex = -1;
    bool operator==(const Link&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Link& link) {
    return out << link.path << " | " << link.arguments << " | " << link.workingFolder << " | " << link.icon
               << "," << link.iconIndex;
}

// The link file's fields; all empty when it does not load. COM must be initialised on the thread.
inline Link ReadLink(const std::string& file) {
    Link read;
    IShellLinkA* link = nullptr;
    IPersistFile* persist = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return read;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(wide, STGM_READ))) {
        char path[MAX_PATH] = "", arguments[MAX_PATH] = "", folder[MAX_PATH] = "", icon[MAX_PATH] = "";
        link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetArguments(arguments, MAX_PATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
        link->GetIconLocation(icon, MAX_PATH, &read.iconIndex);
        read = {path, arguments, folder, icon, read.iconIndex};
    }
    if (persist != nullptr) persist->Release();
    link->Release();
    return read;
}

}  // namespace testsupport
