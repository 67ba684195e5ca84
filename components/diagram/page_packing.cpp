#include "components/diagram/page_packing.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <map>
#include <utility>

namespace ostrel::diagram::page_plan {
namespace {

// Sizes in points.
constexpr double kHeadingPoints = 11;
constexpr double kNoteHeight = 16;
constexpr double kBlockGap = 18;
// A group alone on its page may be drawn this much larger than its nominal
// size.
constexpr double kSoloMaxScale = 1.35;

class PagePacker {
  public:
    PagePacker(const PlanContext& context, std::vector<Part> parts)
        : context_(context), options_(context.options), parts_(std::move(parts)) {}

    std::vector<DiagramPage> Pages() {
        Pack();
        EnlargeLoneGroups();
        LabelStubs();
        return Collect();
    }

  private:
    // Shelf packing of the parts onto pages, in order.
    void Pack() {
        const double width = options_.area.width();
        const double height =
            options_.onePage ? std::numeric_limits<double>::infinity() : options_.area.height();
        int page = 0;
        double x = 0;
        // The note on tables left out stands under the first page's heading.
        const double firstTop = kHeadingHeight + NoteHeight();
        double y = firstTop;
        double shelf = 0;
        const QSizeF area = context_.PartArea() - QSizeF(0, NoteHeight());
        for (Part& part : parts_) {
            const QSizeF size = part.block.size;
            double scale = options_.maxScale;
            if (size.width() > 0 && size.height() > 0) {
                scale = std::min({options_.maxScale, area.width() / size.width(),
                                  area.height() / size.height()});
            }
            part.block.scale = std::max(scale, kMinScale);
            const double w = size.width() * part.block.scale;
            const double h = size.height() * part.block.scale;
            if (x > 0 && x + w > width) {
                x = 0;
                y += shelf + kBlockGap;
                shelf = 0;
            }
            if (y + h > height && (x > 0 || y > (page == 0 ? firstTop : kHeadingHeight))) {
                ++page;
                x = 0;
                y = kHeadingHeight;
                shelf = 0;
            }
            part.page = page;
            placed_.emplace_back(page, QPointF(x, y));
            x += w + kBlockGap;
            shelf = std::max(shelf, h);
        }
        pageCount_ = page + 1;
    }

    // The room the note on tables left out takes on the first page.
    double NoteHeight() const { return context_.model.tablesNotDrawn.empty() ? 0 : kNoteHeight; }

    // A whole group alone on a page is drawn as large as the page allows, up
    // to kSoloMaxScale, room kept for the note on the first page.
    void EnlargeLoneGroups() {
        if (options_.onePage) {
            return;
        }
        std::vector<int> blocksOnPage(static_cast<std::size_t>(pageCount_), 0);
        for (const auto& [page, topLeft] : placed_) {
            ++blocksOnPage[static_cast<std::size_t>(page)];
        }
        const QSizeF area = context_.PartArea() - QSizeF(0, kNoteHeight);
        for (std::size_t i = 0; i < parts_.size(); ++i) {
            DiagramBlock& block = parts_[i].block;
            if (parts_[i].count > 1 ||
                blocksOnPage[static_cast<std::size_t>(placed_[i].first)] != 1 ||
                block.size.isEmpty()) {
                continue;
            }
            const double fit = std::min({kSoloMaxScale, area.width() / block.size.width(),
                                         area.height() / block.size.height()});
            block.scale = std::max(block.scale, fit);
        }
    }

    // Each row of a "continued" label names the page (or, in an image, the
    // part) its table is drawn on.
    void LabelStubs() {
        std::map<int, const Part*> partOf;
        for (const Part& part : parts_) {
            for (int table : part.tables) {
                partOf[table] = &part;
            }
        }
        for (Part& part : parts_) {
            for (SceneStub& stub : part.block.stubs) {
                for (std::size_t i = 0; i < stub.rows.size(); ++i) {
                    SceneStub::Row& row = stub.rows[i];
                    const Part* other = partOf.at(row.table);
                    SceneText text;
                    text.role = SceneText::Role::Stub;
                    text.italic = true;
                    text.text = context_.measure.Elided(
                        context_.ContinuedText(row.name, options_.firstPage + other->page,
                                               other->index + 1),
                        stub.rect.width() - 2 * kStubPadX, kTextPoints);
                    const double rowTop = stub.rect.top() + stub.rowHeight * static_cast<double>(i);
                    text.baseline =
                        QPointF(stub.rect.left() + kStubPadX, Baseline(rowTop, kTextPoints));
                    row.text = text;
                }
            }
        }
    }

    std::vector<DiagramPage> Collect() {
        std::vector<DiagramPage> pages(static_cast<std::size_t>(pageCount_));
        for (std::size_t p = 0; p < pages.size(); ++p) {
            SceneText heading;
            heading.role = SceneText::Role::Heading;
            heading.bold = true;
            heading.points = kHeadingPoints;
            heading.text = p == 0 ? QStringLiteral("Relationship diagram")
                                  : QStringLiteral("Relationship diagram (continued)");
            heading.baseline = QPointF(0, kHeadingPoints);
            pages[p].texts.push_back(heading);
        }
        for (std::size_t i = 0; i < parts_.size(); ++i) {
            const auto& [page, topLeft] = placed_[i];
            pages[static_cast<std::size_t>(page)].blocks.push_back(
                {std::move(parts_[i].block), topLeft});
        }
        const std::string note = context_.model.NotDrawnLine();
        if (!note.empty()) {
            SceneText line;
            line.role = SceneText::Role::Note;
            line.text = ToQString(note);
            line.baseline = QPointF(0, kHeadingHeight + kNoteHeight - 4);
            pages.front().texts.push_back(line);
        }
        return pages;
    }

    const PlanContext& context_;
    const PagePlanOptions& options_;
    std::vector<Part> parts_;
    // The page and top-left corner of each part.
    std::vector<std::pair<int, QPointF>> placed_;
    int pageCount_ = 0;
};

}  // namespace

std::vector<DiagramPage> PackPages(const PlanContext& context, std::vector<Part> parts) {
    return PagePacker(context, std::move(parts)).Pages();
}

}  // namespace ostrel::diagram::page_plan
