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

struct QueueCapabilities {
    std::vector<QueuePaper> papers;
    std::vector<QueueBin> bins;
    std::optional<std::uint16_t> defaultPaper, defaultBin;
    int dpiX = 0, dpiY = 0;  // 0: the queue declares none
};

// Parses a PPD file; nullopt when it cannot be read.
std::optional<QueueCapabilities> readPpdCapabilities(const char* ppdPath);

// "360dpi", "360x180dpi" → (x, y); nullopt for anything else.
std::optional<std::pair<int, int>> parseResolution(const char* text);

// Fetches the queue's PPD over the connection and parses it; falls back to
// the IPP printer attributes for a queue without PPD.
QueueCapabilities loadQueueCapabilities(http_t* http, const QString& queue);

}  // namespace wbprn
