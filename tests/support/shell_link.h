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
        char text[MAX_PATH] = "";
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        read.path = text;
        link->GetArguments(text, MAX_PATH);
        read.arguments = text;
        link->GetWorkingDirectory(text, MAX_PATH);
        read.workingFolder = text;
        text[0] = '\0';
        link->GetIconLocation(text, MAX_PATH, &read.iconIndex);
        read.icon = text;
    }
    if (persist != nullptr) persist->Release();
    link->Release();
    return read;
}

}  // namespace testsupport
