#pragma once

#include <functional>

class QPrinter;

namespace ostrel::qtdocument {

class QtReportDocument;

// Told after each step of pages with how many are printed and how many
// there are in all; returns false to stop the job.
using PrintProgress = std::function<bool(int printed, int total)>;

// Prints the pages the printer's settings ask for (all by default), each
// sheet fitted into the printer's paper. Between steps of a few pages it asks
// progress whether to go on. Returns false when progress stopped the job (the
// printer is then aborted). Throws std::runtime_error, with a sentence that
// says why, when the report has no pages, the printer cannot be started or it
// stops with an error.
bool PrintPages(const QtReportDocument& document, QPrinter& printer,
                const PrintProgress& progress = {});

// Prints the whole report on the system's default printer; throws
// std::runtime_error when there is none or it fails.
void PrintOnDefaultPrinter(const QtReportDocument& document);

}  // namespace ostrel::qtdocument
