// The text box: reads the entity-style list, fills gaps from the text style, and measures.
#include "kestrel/host/app/text_box.h"

#include <cmath>
#include <optional>
#include <utility>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/gi/text_metric.h"
#include "kestrel/host/gi/text_style.h"

namespace {

// What the list gives; absent values come from the style.
struct TextArgs {
    const wchar_t* text = nullptr;
    const wchar_t* style = nullptr;
    std::optional<double> height;
    std::optional<double> widthFactor;
    std::optional<double> oblique;
    std::optional<short> flags;
};

TextArgs readArgs(const resbuf* args) {
    TextArgs read;
    for (const resbuf* rb = args; rb != nullptr; rb = rb->rbnext) {
        switch (rb->restype) {
            case 1:
                read.text = rb->resval.rstring;
                break;
            case 7:
                read.style = rb->resval.rstring;
                break;
            case 40:
                read.height = rb->resval.rreal;
                break;
            case 41:
                read.widthFactor = rb->resval.rreal;
                break;
            case 51:
                read.oblique = rb->resval.rreal;
                break;
            case 71:
                read.flags = rb->resval.rint;
                break;
            default:
                break;
        }
    }
    return read;
}

// The style named (or the current one); nothing when it cannot be found or read.
std::optional<AcGiTextStyle> styleOf(const wchar_t* name) {
    AcGiTextStyle style;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr) {
        return name == nullptr ? std::optional<AcGiTextStyle>(style) : std::nullopt;
    }
    AcDbObjectId id = db->textstyle();
    if (name != nullptr) {
        AcDbTextStyleTable* table = nullptr;
        if (db->getTextStyleTable(table, AcDb::kForRead) != Acad::eOk) {
            return std::nullopt;
        }
        const Acad::ErrorStatus found = table->getAt(name, id);
        table->close();
        if (found != Acad::eOk) {
            return std::nullopt;
        }
    }
    if (!id.isNull() && fromAcDbTextStyle(style, id) != Acad::eOk) {
        return std::nullopt;
    }
    return style;
}

bool positive(double value) {
    return std::isfinite(value) && value > 0.0;
}

}  // namespace

int acedTextBox(const resbuf* args, ads_point pt1, ads_point pt2) {
    const TextArgs read = readArgs(args);
    if (read.text == nullptr || pt1 == nullptr || pt2 == nullptr) {
        return RTERROR;
    }
    const std::optional<AcGiTextStyle> style = styleOf(read.style);
    if (!style) {
        return RTERROR;
    }
    const double height = read.height.value_or(style->textSize());
    const double widthFactor = read.widthFactor.value_or(style->xScale());
    const double oblique = read.oblique.value_or(style->obliquingAngle());
    if (!positive(height) || !positive(widthFactor) || !std::isfinite(oblique)) {
        return RTERROR;
    }
    const short flags = read.flags.value_or(
        static_cast<short>((style->isBackward() ? 2 : 0) | (style->isUpsideDown() ? 4 : 0)));
    host::TextBox box = host::measureText(read.text, height, widthFactor, oblique);
    if ((flags & 2) != 0) {
        box.minX = -std::exchange(box.maxX, -box.minX);
    }
    if ((flags & 4) != 0) {
        box.minY = -std::exchange(box.maxY, -box.minY);
    }
    pt1[0] = box.minX;
    pt1[1] = box.minY;
    pt1[2] = 0.0;
    pt2[0] = box.maxX;
    pt2[1] = box.maxY;
    pt2[2] = 0.0;
    return RTNORM;
}
