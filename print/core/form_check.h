#pragma once
// Whether a form can be printed on: every item inside the page, no two
// areas overlapping, each item's font fitting its area, the items a
// waybill cannot do without present, sizes within bounds.
#include <vector>

#include "print/core/form.h"
#include "print/core/form_file.h"

namespace print {

// Every problem, each naming its item; empty when the form is sound. The
// built-in form has none.
std::vector<FormProblem> checkForm(const Form& form);

}  // namespace print
