#pragma once

#include <QLineEdit>

// A line box for texts that may run to tens of thousands of characters. A line box lays
// out and shapes its whole text every time it paints, which for such a text takes as long
// as a screen refresh or more; while it has no focus this box paints only the start of a
// long text that it can show. With the focus it is a plain line box, so the cursor, the
// selection and the scrolling behave as always. The text itself is never cut.
class LongTextLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    // Texts up to this many characters are painted by the line box itself.
    static constexpr int LongText = 1000;

protected:
    void paintEvent(QPaintEvent *event) override;
};
