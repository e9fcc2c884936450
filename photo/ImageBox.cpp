#include "ImageBox.h"

#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) {}

TImage::~TImage() = default;

void TImage::SetPicture(std::unique_ptr<TGraphic> picture)
{
    picture_ = std::move(picture);
    update();
}

void TImage::Clear()
{
    picture_.reset();
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    if (!picture_)
        return;
    // Qt must never see an exception leave a paint event: a picture that
    // cannot be drawn leaves the box blank.
    try {
        QPainter painter(this);
        picture_->Draw(painter, rect());
    } catch (...) {
    }
}
