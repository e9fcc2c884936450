#pragma once
// The contact book window: button row, input panel, photo box, grid and status bar.
// It owns the database connection and the contact query for the whole run.

#include "ADODB.h"

#include <QWidget>

class TForm_main : public QWidget {
    Q_OBJECT
public:
    explicit TForm_main(QWidget* parent = nullptr);
    ~TForm_main() override;

    // Non-visual components.
    TADOConnection ADOConnection1{QStringLiteral("ADOConnection1")};
    TADOQuery ADOQuery1{QStringLiteral("ADOQuery1")};
    TDataSource DataSource1{&ADOQuery1};

    // The database bootstrap; run once by the constructor inside the handler guard.
    void FormCreate();

    // The text of a status bar panel (0 to 3).
    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString& text);
};

// The one instance, reachable from everywhere; set by the start-up.
extern TForm_main* Form_main;
