// Build progress on stderr.
#include "tools/kelpack/progress.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

Progress::Style Progress::StyleForStderr(bool quiet) {
    if (quiet) return Quiet;
#ifdef _WIN32
    return _isatty(2) ? Terminal : Lines;
#else
    return isatty(2) ? Terminal : Lines;
#endif
}

void Progress::BeginMember(const std::string& name, uint64_t size) {
    name_ = name;
    if (style_ == Lines) out_ << "  " << name << " (" << size << " bytes)\n";
    if (style_ == Terminal) Redraw();
}

void Progress::Advance(uint64_t bytes) {
    done_ += bytes;
    if (style_ == Terminal && int(total_ == 0 ? 100 : done_ * 100 / total_) != shownPercent_) Redraw();
}

void Progress::Redraw() {
    shownPercent_ = int(total_ == 0 ? 100 : done_ * 100 / total_);
    std::string name = name_.size() > 60 ? "..." + name_.substr(name_.size() - 57) : name_;
    out_ << "\r["
         << (shownPercent_ < 10    ? "  "
             : shownPercent_ < 100 ? " "
                                   : "")
         << shownPercent_ << "%] " << name << std::string(60 - name.size(), ' ') << std::flush;
}

void Progress::Finish() {
    if (style_ == Terminal) out_ << "\n";
}
