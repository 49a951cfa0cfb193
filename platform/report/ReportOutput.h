#pragma once

#include "platform/report/PageQueue.h"

#include <QImage>
#include <QString>

#include <functional>

class QPrinter;

namespace fundora::platform {

// Called after each page with the pages done; false stops the output.
using PageProgress = std::function<bool(int done, int total)>;

// The page drawn on a white image `width` pixels wide (the height follows the paper).
QImage renderPage(const ReportPage& page, int width);

// Writes the pages into one PDF (Letter, 1200 dpi, texts as text) through a
// temporary file renamed into place, so a failed run leaves no half file.
bool writePdf(const PageQueue& pages, const QString& path, const QString& title, QString* error, const PageProgress& progress = {});

// Prints the pages (the printer's page range and copies as set in its dialog).
bool printPages(const PageQueue& pages, QPrinter& printer, QString* error, const PageProgress& progress = {});

// Copies the report's rows to `path` (through a temporary file and a rename).
bool writeRows(const PageQueue& pages, const QString& path, QString* error);

} // namespace fundora::platform
