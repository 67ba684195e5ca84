#pragma once

#include <QPainter>
#include <string>

namespace ostrel::qtdocument {

// Something drawn on a page of its own, such as a diagram: the painter is
// set up in twips from the sheet's top-left corner.
class PageDrawing {
  public:
    virtual ~PageDrawing() = default;
    virtual void Draw(QPainter& painter) const = 0;
    // What the page is listed as, e.g. "Relationship diagram".
    virtual std::string Title() const = 0;

  protected:
    PageDrawing() = default;
    PageDrawing(const PageDrawing&) = default;
    PageDrawing& operator=(const PageDrawing&) = default;
};

}  // namespace ostrel::qtdocument
