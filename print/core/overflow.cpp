#include "print/core/overflow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace print {

namespace {

int emPixels(int points, int dpiY) {
    return static_cast<int>(std::lround(static_cast<double>(points) * dpiY / 72.0));
}

}  // namespace

std::vector<Overflow> findOverflows(const std::vector<DrawItem>& items, const DeviceMap& map,
                                    const TextWidth& width, const std::optional<ImageableArea>& imageable) {
    std::vector<Overflow> out;
    for (const DrawItem& item : items) {
        if (item.item == FormItem::Count) continue;
        const int w = width(item.size, item.text);
        // 64-bit, never raising: the text's own position was mappable, but
        // its area's edge may lie past the 32-bit range with an absurd margin.
        const FormItemPlace* place = map.form->find(item.item);
        if (!place) continue;
        std::int64_t end = mapPosition64(map.rawX, place->right, map.left);
        bool outside = false;
        if (imageable) {
            end = std::min<std::int64_t>(end, imageable->width);
            const std::int64_t h = emPixels(item.size, imageable->dpiY);
            outside = item.x < 0 || item.y < 0 || std::int64_t{item.x} + w > imageable->width ||
                      item.y + h > imageable->height;
        }
        const std::int64_t room = end - item.x;
        if (outside || w > room)
            out.push_back({item.item, w, static_cast<int>(std::clamp<std::int64_t>(room, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())), outside});
    }
    return out;
}

}  // namespace print
