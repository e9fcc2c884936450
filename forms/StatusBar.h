#pragma once
// The window's status bar: four panels side by side; the last one runs to the
// right end of the bar whatever its nominal width. A left click anywhere on it
// is one Click, whatever panel it lands on.

#include <QString>
#include <QStringList>
#include <QWidget>

class TStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    static constexpr int PanelCount = 4;

    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);
    // Panels 0 to 2 are 100 pixels wide; panel 3 takes the rest of the bar.
    QRect PanelRect(int panel) const;

    QSize sizeHint() const override;

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QStringList texts_;
    bool leftPressed_ = false;
};
