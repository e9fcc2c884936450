#pragma once
// The photo box: holds one picture or none and draws it stretched to fill itself.

#include "photo/Graphics.h"

#include <QWidget>
#include <memory>

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);
    ~TImage() override;

    // The picture, or nullptr when the box is empty.
    TGraphic* Picture() const { return picture_.get(); }
    void SetPicture(std::unique_ptr<TGraphic> picture);
    void Clear();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TGraphic> picture_;
};
