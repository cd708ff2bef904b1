#pragma once
// What a CUPS queue offers: paper sizes (with their printable areas), input
// slots and resolution, read from the queue's PPD. Codes are stable for a
// given PPD: well-known paper names get their customary numbers, all other
// entries 256 + their position.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <cups/cups.h>

namespace wbprn {

struct QueuePaper {
    std::uint16_t code = 0;
    std::string keyword;  // PageSize choice, sent as the job's media
    QString name;         // shown to the user
    double widthPt = 0, lengthPt = 0;
    // Printable area from the paper's top-left corner; right and bottom 0
    // when the queue declares none (the whole paper).
    double leftPt = 0, topPt = 0, rightPt = 0, bottomPt = 0;
};

struct QueueBin {
    std::uint16_t code = 0;
    std::string keyword;  // InputSlot choice
    QString name;
};

// The page sizes a queue accepts besides its named ones, in points, with
// the margins it cannot print on (left, bottom, right, top).
struct CustomSizeRange {
    double minWidth = 0, minLength = 0, maxWidth = 0, maxLength = 0;
    double left = 0, bottom = 0, right = 0, top = 0;
    bool takes(double width, double length) const {
        return width >= minWidth && width <= maxWidth && length >= minLength && length <= maxLength;
    }
};

struct QueueCapabilities {
    std::vector<QueuePaper> papers;
    std::vector<QueueBin> bins;
    std::optional<std::uint16_t> defaultPaper, defaultBin;
    int dpiX = 0, dpiY = 0;  // 0: the queue declares none
};

// Puts the one-form page of the continuous waybill form first in the paper
// list: a custom 8 × 4 inch page when the range takes it, else the widest
// of the queue's own sizes that is 4 inches long; nothing when neither.
void addContinuousForm(QueueCapabilities& caps, const std::optional<CustomSizeRange>& custom);

// Parses a PPD file; nullopt when it cannot be read.
std::optional<QueueCapabilities> readPpdCapabilities(const char* ppdPath);

// "360dpi", "360x180dpi" → (x, y); nullopt for anything else.
std::optional<std::pair<int, int>> parseResolution(const char* text);

// Fetches the queue's PPD over the connection and parses it; falls back to
// the IPP printer attributes for a queue without PPD.
QueueCapabilities loadQueueCapabilities(http_t* http, const QString& queue);

}  // namespace wbprn
