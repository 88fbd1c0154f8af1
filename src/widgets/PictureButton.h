#pragma once

#include <QPushButton>

class QSvgRenderer;

// A command button with its picture above its caption, as the toolbar's buttons are
// drawn. The picture is an SVG drawn at the button's size, so it stays crisp at any
// scale and on any screen.
class PictureButton : public QPushButton
{
    Q_OBJECT
public:
    PictureButton(const QString &caption, const QString &svgPath, QWidget *parent = nullptr);
    ~PictureButton() override;

    // False when the picture could not be loaded; the caption is then drawn alone.
    bool hasPicture() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer *picture_;
};
