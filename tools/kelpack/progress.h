// Progress of a long build on stderr: a percentage line that redraws itself on a terminal, one line per
// member otherwise, nothing when quiet.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

class Progress {
  public:
    enum Style { Quiet, Lines, Terminal };
    Progress(std::ostream& out, Style style, uint64_t totalBytes)
        : out_(out), style_(style), total_(totalBytes) {}

    void BeginMember(const std::string& name, uint64_t size);
    void Advance(uint64_t bytes);
    void Finish();

    // Terminal when stderr is one.
    static Style StyleForStderr(bool quiet);

  private:
    void Redraw();
    std::ostream& out_;
    Style style_;
    uint64_t total_, done_ = 0;
    int shownPercent_ = -1;
    std::string name_;
};
