#pragma once
// The preview pane of the open-picture dialog: the selected picture scaled to
// fit, keeping its proportions, its size in pixels, and a button that shows it whole.

#include "photo/Graphics.h"

#include <QFrame>
#include <memory>

class QLabel;
class QToolButton;

// The largest rectangle of the picture's proportions that fits in box, centred.
QRect FitKeepingProportions(QSize picture, const QRect& box);

// The preview reads no file larger than this.
inline constexpr qint64 PreviewByteLimit = 64LL << 20;

// The window that shows a picture whole: its size plus a margin, within nine
// tenths of the screen, at least 160 x 160.
QSize WholePictureWindowSize(QSize picture, QSize screen);

class PicturePane : public QFrame {
    Q_OBJECT
public:
    explicit PicturePane(QWidget* parent = nullptr);
    ~PicturePane() override;

    const TGraphic* Picture() const { return picture_.get(); }
    void SetPicture(std::unique_ptr<TGraphic> picture);
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TGraphic> picture_;
};

class PicturePreview : public QWidget {
    Q_OBJECT
public:
    explicit PicturePreview(QWidget* parent = nullptr);

    // Shows the file's picture, or nothing when it is not a picture we can read.
    void ShowFile(const QString& fileName);
    const PicturePane* Pane() const { return pane_; }
    QToolButton* PreviewButton() const { return previewButton_; }
    QString SizeText() const;

private:
    void ShowWhole();

    QLabel* size_;
    PicturePane* pane_;
    QToolButton* previewButton_;
    QString fileName_;
};
