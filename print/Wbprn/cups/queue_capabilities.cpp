#include "print/Wbprn/cups/queue_capabilities.h"

// The PPD API is marked deprecated in CUPS 2.x but remains the way to read
// a queue's PageSize / InputSlot lists with their UI texts.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <unistd.h>

#include "print/Wbprn/continuous_form.h"
#include "print/Wbprn/printer_system.h"
#include "text/sjis_qt.h"

namespace wbprn {

namespace {

// Customary numbers for common paper names, so a code means the same paper
// on every queue.
std::optional<std::uint16_t> wellKnownPaperCode(const std::string& keyword) {
    static const std::map<std::string, std::uint16_t> codes{
        {"Letter", 1},  {"Legal", 5},    {"Executive", 7}, {"A3", 8},  {"A4", 9},
        {"A5", 11},     {"B4", 12},      {"B5", 13},       {"Env10", 20}, {"EnvDL", 27},
        {"EnvC5", 28},  {"Postcard", 43}, {"A6", 70},      {"B6", 88}};
    auto it = codes.find(keyword);
    if (it == codes.end()) return std::nullopt;
    return it->second;
}

QString ppdText(const ppd_file_t* ppd, const char* text) {
    if (!text) return {};
    if (ppd->lang_encoding && std::strcmp(ppd->lang_encoding, "JIS83-RKSJ") == 0)
        return sjis::toQString(text);
    return QString::fromUtf8(text);
}

}  // namespace

std::optional<std::pair<int, int>> parseResolution(const char* text) {
    if (!text) return std::nullopt;
    int x = 0, y = 0;
    char unit[8] = {};
    if (std::sscanf(text, "%dx%d%7s", &x, &y, unit) == 3 && std::strcmp(unit, "dpi") == 0 && x > 0 && y > 0)
        return std::make_pair(x, y);
    if (std::sscanf(text, "%d%7s", &x, unit) == 2 && std::strcmp(unit, "dpi") == 0 && x > 0)
        return std::make_pair(x, x);
    return std::nullopt;
}

void addContinuousForm(QueueCapabilities& caps, const std::optional<CustomSizeRange>& custom) {
    QueuePaper form;
    if (custom && custom->takes(kFormWidthPt, kFormLengthPt)) {
        form.keyword = kContinuousFormKeyword;
        form.widthPt = kFormWidthPt;
        form.lengthPt = kFormLengthPt;
        form.leftPt = custom->left;
        form.topPt = custom->top;
        form.rightPt = kFormWidthPt - custom->right;
        form.bottomPt = kFormLengthPt - custom->bottom;
    } else {
        const QueuePaper* best = nullptr;
        for (const QueuePaper& p : caps.papers)
            if (formFeedOf(p.lengthPt).oneForm() && (!best || p.widthPt > best->widthPt)) best = &p;
        if (!best) return;
        form = *best;
    }
    form.code = kContinuousFormPaperCode;
    form.name = continuousFormPaperName();
    caps.papers.insert(caps.papers.begin(), std::move(form));
}

std::optional<QueueCapabilities> readPpdCapabilities(const char* ppdPath) {
    ppd_file_t* ppd = ppdOpenFile(ppdPath);
    if (!ppd) return std::nullopt;
    ppdMarkDefaults(ppd);
    QueueCapabilities caps;

    if (ppd_option_t* opt = ppdFindOption(ppd, "PageSize")) {
        std::vector<std::uint16_t> used;
        for (int i = 0; i < opt->num_choices; ++i) {
            const ppd_choice_t& c = opt->choices[i];
            // The custom size is a range, not a paper (read below).
            if (std::strcmp(c.choice, "Custom") == 0) continue;
            QueuePaper p;
            p.keyword = c.choice;
            p.name = ppdText(ppd, c.text[0] ? c.text : c.choice);
            auto known = wellKnownPaperCode(p.keyword);
            const bool clash = known && std::find(used.begin(), used.end(), *known) != used.end();
            p.code = (known && !clash) ? *known : static_cast<std::uint16_t>(256 + i);
            used.push_back(p.code);
            if (ppd_size_t* size = ppdPageSize(ppd, c.choice)) {
                p.widthPt = size->width;
                p.lengthPt = size->length;
                p.leftPt = size->left;
                p.topPt = size->length - size->top;
                p.rightPt = size->right;
                p.bottomPt = size->length - size->bottom;
            }
            if (std::strcmp(opt->defchoice, c.choice) == 0) caps.defaultPaper = p.code;
            caps.papers.push_back(std::move(p));
        }
    }
    std::optional<CustomSizeRange> custom;
    if (ppd->variable_sizes)
        custom = CustomSizeRange{ppd->custom_min[0],     ppd->custom_min[1],     ppd->custom_max[0],
                                 ppd->custom_max[1],     ppd->custom_margins[0], ppd->custom_margins[1],
                                 ppd->custom_margins[2], ppd->custom_margins[3]};
    addContinuousForm(caps, custom);
    if (ppd_option_t* opt = ppdFindOption(ppd, "InputSlot")) {
        for (int i = 0; i < opt->num_choices; ++i) {
            const ppd_choice_t& c = opt->choices[i];
            QueueBin b{static_cast<std::uint16_t>(256 + i), c.choice, ppdText(ppd, c.text[0] ? c.text : c.choice)};
            if (std::strcmp(opt->defchoice, c.choice) == 0) caps.defaultBin = b.code;
            caps.bins.push_back(std::move(b));
        }
    }
    std::optional<std::pair<int, int>> res;
    if (ppd_attr_t* a = ppdFindAttr(ppd, "DefaultResolution", nullptr)) res = parseResolution(a->value);
    if (!res) {
        if (ppd_option_t* opt = ppdFindOption(ppd, "Resolution")) res = parseResolution(opt->defchoice);
    }
    if (res) {
        caps.dpiX = res->first;
        caps.dpiY = res->second;
    }
    ppdClose(ppd);
    return caps;
}

namespace {

// A queue without PPD (driverless): media-supported, media-source-supported
// and printer-resolution-default from the scheduler.
QueueCapabilities ippCapabilities(http_t* http, const QString& queue) {
    QueueCapabilities caps;
    char uri[1024];
    const QByteArray resource = "/printers/" + queue.toUtf8();
    httpAssembleURI(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, resource.constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"media-supported", "media-default", "media-source-supported",
                                         "media-source-default", "printer-resolution-default"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 5, nullptr, wanted);
    ipp_t* response = cupsDoRequest(http, request, "/");
    if (!response) return caps;
    const char* mediaDefault = nullptr;
    if (ipp_attribute_t* a = ippFindAttribute(response, "media-default", IPP_TAG_ZERO))
        mediaDefault = ippGetString(a, 0, nullptr);
    std::optional<CustomSizeRange> custom;
    if (ipp_attribute_t* a = ippFindAttribute(response, "media-supported", IPP_TAG_ZERO)) {
        for (int i = 0; i < ippGetCount(a); ++i) {
            QueuePaper p;
            p.keyword = ippGetString(a, i, nullptr);
            // custom_min_… and custom_max_… give the range of custom sizes.
            const bool isMin = p.keyword.rfind("custom_min_", 0) == 0, isMax = p.keyword.rfind("custom_max_", 0) == 0;
            if (isMin || isMax) {
                if (pwg_media_t* m = pwgMediaForPWG(p.keyword.c_str())) {
                    if (!custom) custom = CustomSizeRange{};
                    (isMin ? custom->minWidth : custom->maxWidth) = m->width * 72.0 / 2540.0;
                    (isMin ? custom->minLength : custom->maxLength) = m->length * 72.0 / 2540.0;
                }
                continue;
            }
            p.code = static_cast<std::uint16_t>(256 + i);
            p.name = QString::fromStdString(p.keyword);
            if (pwg_media_t* m = pwgMediaForPWG(p.keyword.c_str())) {
                p.widthPt = m->width * 72.0 / 2540.0;
                p.lengthPt = m->length * 72.0 / 2540.0;
            }
            if (mediaDefault && p.keyword == mediaDefault) caps.defaultPaper = p.code;
            caps.papers.push_back(std::move(p));
        }
    }
    addContinuousForm(caps, custom);
    const char* sourceDefault = nullptr;
    if (ipp_attribute_t* a = ippFindAttribute(response, "media-source-default", IPP_TAG_ZERO))
        sourceDefault = ippGetString(a, 0, nullptr);
    if (ipp_attribute_t* a = ippFindAttribute(response, "media-source-supported", IPP_TAG_ZERO)) {
        for (int i = 0; i < ippGetCount(a); ++i) {
            QueueBin b{static_cast<std::uint16_t>(256 + i), ippGetString(a, i, nullptr), {}};
            b.name = QString::fromStdString(b.keyword);
            if (sourceDefault && b.keyword == sourceDefault) caps.defaultBin = b.code;
            caps.bins.push_back(std::move(b));
        }
    }
    if (ipp_attribute_t* a = ippFindAttribute(response, "printer-resolution-default", IPP_TAG_RESOLUTION)) {
        ipp_res_t units;
        int y = 0;
        const int x = ippGetResolution(a, 0, &y, &units);
        if (units == IPP_RES_PER_INCH && x > 0 && y > 0) {
            caps.dpiX = x;
            caps.dpiY = y;
        }
    }
    ippDelete(response);
    return caps;
}

}  // namespace

QueueCapabilities loadQueueCapabilities(http_t* http, const QString& queue) {
    char path[1024] = "";
    time_t modtime = 0;
    const QByteArray name = queue.toUtf8();
    if (cupsGetPPD3(http, name.constData(), &modtime, path, sizeof path) == HTTP_STATUS_OK) {
        auto caps = readPpdCapabilities(path);
        unlink(path);
        if (caps) return *caps;
    }
    return ippCapabilities(http, queue);
}

}  // namespace wbprn
