#pragma once

#include <QByteArray>
#include <optional>

#include "components/diagram/diagram_scene.h"

namespace ostrel::diagram {

// A diagram page as bytes and back, so that a document can keep its pages
// on disk instead of in memory. Reading gives nothing for bytes that were
// not written by SavePage of this version.
QByteArray SavePage(const DiagramPage& page);
std::optional<DiagramPage> LoadPage(const QByteArray& bytes);

}  // namespace ostrel::diagram
