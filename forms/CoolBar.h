#pragma once
// A cool bar with one band: the band's grip at the left, then the one control
// the band carries, which follows the bar's width.

#include <QFrame>

class TCoolBar : public QFrame {
    Q_OBJECT
public:
    explicit TCoolBar(QWidget* parent = nullptr);

    // The control the band carries; placed after the grip, as wide as the band allows.
    void SetBandChild(QWidget* child);
    QWidget* BandChild() const { return child_; }

    static constexpr int GripWidth = 9;    // the child starts this far from the bar's left edge
    static constexpr int RightMargin = 8;  // 688 wide at design: the child is 671 wide
    static constexpr int DesignHeight = 65;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void PlaceChild();
    QWidget* child_ = nullptr;
};
