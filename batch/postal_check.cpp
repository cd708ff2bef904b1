#include "batch/postal_check.h"

#include "postal/postal_search.h"
#include "text/sjis_convert.h"

namespace batch {

PostalCheck postalCheckOf(const postal::Table& table) {
    return [&table](std::string_view zip7, std::string_view address) {
        const postal::CheckResult r = postal::checkAddress(table, zip7, sjis::fromUtf8Lossy(address));
        if (!r.known) return PostalVerdict::Unknown;
        if (address.empty() || r.matches) return PostalVerdict::Ok;
        return PostalVerdict::Mismatch;
    };
}

}  // namespace batch
