#include "editor/FormPaperLayout.h"

QRectF ReferencePlacement::scaled(const LayoutScale &scale) const
{
    QRectF rect = scale.scaled(twips);
    rect.moveTo(scaleLeft ? rect.left() : twips.left(), scaleTop ? rect.top() : twips.top());
    return rect;
}

namespace {
QString indexed(const char *name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1StringView(name)).arg(index);
}

std::vector<ReferencePlacement> buildLayout()
{
    std::vector<ReferencePlacement> layout;
    auto place = [&layout](const QString &name, double left, double top, double width,
                           double height) {
        layout.push_back({name, QRectF(left, top, width, height)});
        return &layout.back();
    };
    place(QStringLiteral("FrameTools"), 120, 0, 15014, 710)->scaleTop = false;
    for (int i = 0; i <= 10; ++i) {
        const double left = i <= 4 ? 850 * i + 50 : i <= 8 ? 850 * i + 200 : 850 * (i - 9) + 8000;
        place(indexed("CommandTools", i), left, 140, 850, 520);
    }
    place(QStringLiteral("Frame1"), 120, 700, 12735, 1935);
    place(QStringLiteral("adoStdMarks"), 120, 240, 2175, 405);
    place(QStringLiteral("LabNo"), 2520, 240, 825, 195);
    place(QStringLiteral("LabelNo"), 2520, 480, 555, 245);
    place(QStringLiteral("Label2"), 3480, 240, 1095, 195);
    place(QStringLiteral("TextScore"), 3480, 480, 550, 255);
    place(QStringLiteral("Label1"), 4080, 480, 735, 255);
    place(QStringLiteral("Label3"), 5040, 240, 1185, 195);
    place(QStringLiteral("LabelAnswer"), 5040, 480, 855, 255);
    place(QStringLiteral("CmdSetAnswer"), 5950, 460, 645, 300);
    place(QStringLiteral("LabelTimeLimit"), 6960, 240, 1185, 195);
    place(QStringLiteral("TextTimeLimit"), 6960, 480, 495, 285);
    place(QStringLiteral("Label4"), 7500, 480, 735, 255);
    for (int i = 0; i <= 5; ++i) {
        place(indexed("LabItem", i), 8160, 290 * i + 190, 855, 255);
        place(indexed("TextItems", i), 9000, 290 * i + 150, 3495, 270);
    }
    place(QStringLiteral("Frame2"), 120, 720, 7815, 1095);
    place(QStringLiteral("TextTitle"), 0, 240, 7815, 855)->scaleLeft = false;
    place(QStringLiteral("Label5"), 12960, 840, 2175, 300);
    place(QStringLiteral("Label7"), 12960, 1800, 2175, 300);
    place(QStringLiteral("LabNoCount"), 13560, 1200, 975, 285);
    place(QStringLiteral("LabScoreCount"), 13560, 2160, 975, 285);
    place(QStringLiteral("DataGrid1"), 120, 2760, 15015, 7695);
    return layout;
}
} // namespace

const std::vector<ReferencePlacement> &FormPaperReferenceLayout()
{
    static const std::vector<ReferencePlacement> layout = buildLayout();
    return layout;
}
