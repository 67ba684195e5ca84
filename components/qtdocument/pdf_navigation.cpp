#include "components/qtdocument/pdf_navigation.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QTimeZone>
#include <cstdio>
#include <exception>
#include <stdexcept>

namespace ostrel::qtdocument {
namespace {

// Hands qpdf's output to a Qt device.
class DevicePipeline final : public Pipeline {
  public:
    explicit DevicePipeline(QIODevice& device) : Pipeline("Qt device", nullptr), device_(device) {}
    void write(unsigned char const* data, size_t length) override {
        if (device_.write(reinterpret_cast<const char*>(data), static_cast<qint64>(length)) !=
            static_cast<qint64>(length)) {
            throw std::runtime_error(device_.errorString().toStdString());
        }
    }
    void finish() override {}

  private:
    QIODevice& device_;
};

std::string PdfDate(const QDateTime& when) {
    const QDateTime local = when.isValid() ? when : QDateTime::currentDateTime();
    const int offset = local.offsetFromUtc() / 60;
    char zone[16];
    if (offset == 0) {
        std::snprintf(zone, sizeof zone, "Z");
    } else {
        const int minutes = offset < 0 ? -offset : offset;
        std::snprintf(zone, sizeof zone, "%c%02d'%02d'", offset < 0 ? '-' : '+', minutes / 60,
                      minutes % 60);
    }
    return "D:" + local.toString(QStringLiteral("yyyyMMddHHmmss")).toStdString() + zone;
}

class Navigation {
  public:
    Navigation(QPDF& pdf, const std::vector<QPDFPageObjectHelper>& pages)
        : pdf_(pdf), pages_(pages) {}

    // [page /XYZ left top null]: the top of the place, the zoom unchanged.
    QPDFObjectHandle Destination(const PdfPlace& place) const {
        QPDFObjectHandle page = PageAt(place.page);
        const QPDFObjectHandle::Rectangle box = page.getKey("/MediaBox").getArrayAsRectangle();
        QPDFObjectHandle dest = QPDFObjectHandle::newArray();
        dest.appendItem(page);
        dest.appendItem(QPDFObjectHandle::newName("/XYZ"));
        dest.appendItem(QPDFObjectHandle::newNull());
        dest.appendItem(QPDFObjectHandle::newReal(box.ury - place.top, 2));
        dest.appendItem(QPDFObjectHandle::newNull());
        return dest;
    }

    bool HasPage(int page) const {
        return page >= 1 && static_cast<std::size_t>(page) <= pages_.size();
    }

    // Makes the items of one level under parent; returns how many items the
    // level and its open descendants hold.
    int AddLevel(QPDFObjectHandle parent, const std::vector<PdfOutlineEntry>& entries) {
        QPDFObjectHandle first;
        QPDFObjectHandle previous;
        int count = 0;
        for (const PdfOutlineEntry& entry : entries) {
            if (!HasPage(entry.place.page)) {
                continue;
            }
            QPDFObjectHandle item = pdf_.makeIndirectObject(QPDFObjectHandle::newDictionary());
            item.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(entry.title));
            item.replaceKey("/Parent", parent);
            item.replaceKey("/Dest", Destination(entry.place));
            if (!entry.children.empty()) {
                const int below = AddLevel(item, entry.children);
                if (below > 0) {
                    // Sections start closed: a negative count.
                    item.replaceKey("/Count", QPDFObjectHandle::newInteger(-below));
                }
            }
            if (previous.isInitialized()) {
                previous.replaceKey("/Next", item);
                item.replaceKey("/Prev", previous);
            } else {
                first = item;
            }
            previous = item;
            ++count;
        }
        if (first.isInitialized()) {
            parent.replaceKey("/First", first);
            parent.replaceKey("/Last", previous);
        }
        return count;
    }

    void AddLink(const PdfLink& link) {
        if (!HasPage(link.page) || !HasPage(link.target.page)) {
            return;
        }
        QPDFObjectHandle page = PageAt(link.page);
        const QPDFObjectHandle::Rectangle box = page.getKey("/MediaBox").getArrayAsRectangle();
        QPDFObjectHandle annot = pdf_.makeIndirectObject(QPDFObjectHandle::newDictionary());
        annot.replaceKey("/Type", QPDFObjectHandle::newName("/Annot"));
        annot.replaceKey("/Subtype", QPDFObjectHandle::newName("/Link"));
        annot.replaceKey("/Rect", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(
                                      link.rect.left(), box.ury - link.rect.bottom(),
                                      link.rect.right(), box.ury - link.rect.top())));
        QPDFObjectHandle border = QPDFObjectHandle::newArray();
        for (int i = 0; i < 3; ++i) {
            border.appendItem(QPDFObjectHandle::newInteger(0));
        }
        annot.replaceKey("/Border", border);
        annot.replaceKey("/Dest", Destination(link.target));
        QPDFObjectHandle annots = page.getKey("/Annots");
        if (!annots.isArray()) {
            annots = QPDFObjectHandle::newArray();
            page.replaceKey("/Annots", annots);
        }
        annots.appendItem(annot);
    }

  private:
    QPDFObjectHandle PageAt(int page) const {
        return pages_[static_cast<std::size_t>(page - 1)].getObjectHandle();
    }

    QPDF& pdf_;
    const std::vector<QPDFPageObjectHelper>& pages_;
};

}  // namespace

void AddPdfNavigation(const std::string& inputPath, QIODevice& output,
                      const std::vector<PdfOutlineEntry>& outline,
                      const std::vector<PdfLink>& links, const PdfInfo& info) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(inputPath.c_str());
        const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
        Navigation navigation(pdf, pages);

        QPDFObjectHandle root = pdf.getRoot();
        QPDFObjectHandle outlines = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        outlines.replaceKey("/Type", QPDFObjectHandle::newName("/Outlines"));
        const int top = navigation.AddLevel(outlines, outline);
        if (top > 0) {
            outlines.replaceKey("/Count", QPDFObjectHandle::newInteger(top));
            root.replaceKey("/Outlines", outlines);
            root.replaceKey("/PageMode", QPDFObjectHandle::newName("/UseOutlines"));
        }
        for (const PdfLink& link : links) {
            navigation.AddLink(link);
        }

        QPDFObjectHandle trailer = pdf.getTrailer();
        QPDFObjectHandle docInfo = trailer.getKey("/Info");
        if (!docInfo.isDictionary()) {
            docInfo = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
            trailer.replaceKey("/Info", docInfo);
        }
        docInfo.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(info.title));
        docInfo.replaceKey("/Author", QPDFObjectHandle::newUnicodeString(info.author));
        docInfo.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString(info.creator));
        const std::string date = PdfDate(info.created);
        docInfo.replaceKey("/CreationDate", QPDFObjectHandle::newString(date));
        docInfo.replaceKey("/ModDate", QPDFObjectHandle::newString(date));

        DevicePipeline pipeline(output);
        QPDFWriter writer(pdf);
        // The page streams go across as Qt compressed them.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setStreamDataMode(qpdf_s_preserve);
        writer.setOutputPipeline(&pipeline);
        writer.write();
    } catch (const std::runtime_error&) {
        throw;
    } catch (const std::exception& e) {
        throw std::runtime_error(e.what());
    }
}

}  // namespace ostrel::qtdocument
