#pragma once
// A surface that records every text drawn, with the font state at that
// moment: for tests, the fake printer and the command-line tool.
#include <string>
#include <vector>

#include "print/core/surface.h"

namespace print {

class RecordingSurface final : public Surface {
public:
    struct Call {
        std::string face;  // Shift-JIS
        int size = 0;      // points
        Color color, brush;
        int x = 0, y = 0;
        std::string text;  // Shift-JIS
        friend bool operator==(const Call&, const Call&) = default;
    };

    void setFontName(const std::string& f) override { face_ = f; }
    void setFontSize(int points) override { size_ = points; }
    void setFontColor(Color c) override { color_ = c; }
    void setBrushColor(Color c) override { brush_ = c; }
    void textOut(int x, int y, const std::string& text) override {
        calls.push_back({face_, size_, color_, brush_, x, y, text});
    }

    void line(int x1, int y1, int x2, int y2) override { lines.push_back({x1, y1, x2, y2}); }

    std::vector<Call> calls;
    struct Line {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        friend bool operator==(const Line&, const Line&) = default;
    };
    std::vector<Line> lines;

private:
    std::string face_;
    int size_ = 0;
    Color color_, brush_;
};

}  // namespace print
