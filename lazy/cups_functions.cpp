// The libcups functions the program calls, opened on first use (the start
// opens libcups on a thread of its own while the window is built).
#include <cups/cups.h>
#include <cups/ppd.h>

#include "lazy/lazy_library.h"

// The PPD functions are marked deprecated but remain the way to read a
// queue's PPD; defining their forwarders names them too.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace lazy {
LazyLibrary& cupsLibrary() {
    static LazyLibrary library("libcups.so.2", "libcups2", "VP_LAZY_LIBCUPS");
    return library;
}
}  // namespace lazy

#define CUPS_FORWARD(ret, name, params, args) LAZY_FORWARD(lazy::cupsLibrary(), ret, name, params, args)

CUPS_FORWARD(const char*, cupsServer, (), ())
CUPS_FORWARD(void, cupsSetServer, (const char* server), (server))
CUPS_FORWARD(const char*, cupsUser, (), ())
CUPS_FORWARD(http_encryption_t, cupsEncryption, (), ())
CUPS_FORWARD(int, ippPort, (), ())
CUPS_FORWARD(ipp_status_t, cupsLastError, (), ())
CUPS_FORWARD(const char*, cupsLastErrorString, (), ())

CUPS_FORWARD(http_t*, httpConnect2,
             (const char* host, int port, http_addrlist_t* list, int family, http_encryption_t enc, int blocking,
              int msec, int* cancel),
             (host, port, list, family, enc, blocking, msec, cancel))
CUPS_FORWARD(void, httpSetTimeout, (http_t * http, double timeout, http_timeout_cb_t cb, void* data),
             (http, timeout, cb, data))
CUPS_FORWARD(void, httpClose, (http_t * http), (http))
CUPS_FORWARD(int, httpError, (http_t * http), (http))
CUPS_FORWARD(http_uri_status_t, httpAssembleURI,
             (http_uri_coding_t coding, char* uri, int len, const char* scheme, const char* user, const char* host,
              int port, const char* resource),
             (coding, uri, len, scheme, user, host, port, resource))

CUPS_FORWARD(ipp_t*, ippNewRequest, (ipp_op_t op), (op))
CUPS_FORWARD(void, ippDelete, (ipp_t * ipp), (ipp))
CUPS_FORWARD(ipp_attribute_t*, ippAddString,
             (ipp_t * ipp, ipp_tag_t group, ipp_tag_t tag, const char* name, const char* language, const char* value),
             (ipp, group, tag, name, language, value))
CUPS_FORWARD(ipp_attribute_t*, ippAddStrings,
             (ipp_t * ipp, ipp_tag_t group, ipp_tag_t tag, const char* name, int n, const char* language,
              const char* const* values),
             (ipp, group, tag, name, n, language, values))
CUPS_FORWARD(ipp_attribute_t*, ippFindAttribute, (ipp_t * ipp, const char* name, ipp_tag_t tag), (ipp, name, tag))
CUPS_FORWARD(ipp_attribute_t*, ippFirstAttribute, (ipp_t * ipp), (ipp))
CUPS_FORWARD(ipp_attribute_t*, ippNextAttribute, (ipp_t * ipp), (ipp))
CUPS_FORWARD(const char*, ippGetName, (ipp_attribute_t * a), (a))
CUPS_FORWARD(int, ippGetCount, (ipp_attribute_t * a), (a))
CUPS_FORWARD(int, ippGetBoolean, (ipp_attribute_t * a, int i), (a, i))
CUPS_FORWARD(int, ippGetInteger, (ipp_attribute_t * a, int i), (a, i))
CUPS_FORWARD(const char*, ippGetString, (ipp_attribute_t * a, int i, const char** language), (a, i, language))
CUPS_FORWARD(int, ippGetResolution, (ipp_attribute_t * a, int i, int* yres, ipp_res_t* units), (a, i, yres, units))

CUPS_FORWARD(ipp_t*, cupsDoRequest, (http_t * http, ipp_t* request, const char* resource), (http, request, resource))
CUPS_FORWARD(int, cupsAddOption, (const char* name, const char* value, int n, cups_option_t** options),
             (name, value, n, options))
CUPS_FORWARD(void, cupsFreeOptions, (int n, cups_option_t* options), (n, options))
CUPS_FORWARD(void, cupsEncodeOptions2, (ipp_t * ipp, int n, cups_option_t* options, ipp_tag_t group),
             (ipp, n, options, group))
CUPS_FORWARD(http_status_t, cupsStartDocument,
             (http_t * http, const char* name, int job, const char* doc, const char* format, int last),
             (http, name, job, doc, format, last))
CUPS_FORWARD(http_status_t, cupsWriteRequestData, (http_t * http, const char* buffer, size_t length),
             (http, buffer, length))
CUPS_FORWARD(ipp_status_t, cupsFinishDocument, (http_t * http, const char* name), (http, name))
CUPS_FORWARD(ipp_status_t, cupsCancelJob2, (http_t * http, const char* name, int job, int purge),
             (http, name, job, purge))

CUPS_FORWARD(pwg_media_t*, pwgMediaForPWG, (const char* pwg), (pwg))

CUPS_FORWARD(http_status_t, cupsGetPPD3, (http_t * http, const char* name, time_t* modtime, char* buffer, size_t size),
             (http, name, modtime, buffer, size))
CUPS_FORWARD(ppd_file_t*, ppdOpenFile, (const char* filename), (filename))
CUPS_FORWARD(void, ppdClose, (ppd_file_t * ppd), (ppd))
CUPS_FORWARD(void, ppdMarkDefaults, (ppd_file_t * ppd), (ppd))
CUPS_FORWARD(ppd_attr_t*, ppdFindAttr, (ppd_file_t * ppd, const char* name, const char* selector), (ppd, name, selector))
CUPS_FORWARD(ppd_option_t*, ppdFindOption, (ppd_file_t * ppd, const char* keyword), (ppd, keyword))
CUPS_FORWARD(ppd_size_t*, ppdPageSize, (ppd_file_t * ppd, const char* name), (ppd, name))
