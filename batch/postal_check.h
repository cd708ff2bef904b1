#pragma once
// The order check's postal test, answered by the postal table.
#include "batch/order_check.h"
#include "postal/postal_table.h"

namespace batch {

// A check against the table, which must outlive it. An unknown code is
// Unknown; a known code that does not fit the address (postal::checkAddress:
// its 都道府県 and 市区町村, and its town where the table has one) is
// Mismatch (an empty address is left to the missing-address check).
PostalCheck postalCheckOf(const postal::Table& table);

}  // namespace batch
