#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <initializer_list>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace catalogue {
class CatalogueHost;
class RecordCursor;
} // namespace catalogue

namespace editor {

// The window shared by the add and edit dialogs: the controls, each bound to one field
// of the dialog's own cursor Data1, the two lists, and the Finish, Help and closing
// steps. While any of them is loaded, the main window's "Compact" is disabled.
class MovieDialog : public QWidget {
    Q_OBJECT
public:
    ~MovieDialog() override;

protected:
    // What tells the two dialogs apart on screen; places are in twips.
    struct Look {
        QString caption;
        QString header;
        QRect headerPlace;
        QPoint imagePlace;
        bool minutesLabel;
    };

    MovieDialog(catalogue::CatalogueHost &host, const Look &look);

    // Appends the fixed lists; the text shown in each combo stays, and no entry is selected.
    void loadCategories();
    void loadRatings();
    void setTabOrderChain(std::initializer_list<QWidget *> chain);
    QString catalogueFile() const;
    void showProblem(const QString &message);
    // The steps of the close box, also run when Finish or Cancel unloads the dialog:
    // a pending row or edit is dropped, and "Compact" comes back with the last editor.
    void unload();

    void closeEvent(QCloseEvent *event) override;

    catalogue::CatalogueHost &host_;
    catalogue::RecordCursor *Data1;

    QLabel *Label1;
    QComboBox *cboCat;
    QLabel *Label2;
    QLineEdit *Text1;
    QLabel *Label3;
    QPlainTextEdit *Text2;
    QLabel *Label4;
    QPlainTextEdit *Text3;
    QLabel *Label5;
    QPlainTextEdit *Text4;
    QLabel *Image1;
    QLabel *Label8;
    QLabel *Label6;
    QComboBox *cboRating;
    QLabel *Label7;
    QLineEdit *Text5;
    QLabel *Label9;
    QLineEdit *Text6;
    QLabel *Label10 = nullptr;
    QPushButton *cmdFinish;
    QPushButton *cmdCancel;
    QPushButton *cmdHelp;

private:
    void cmdFinish_Click();
    void cmdHelp_Click();
    virtual void cmdCancel_Click() = 0;

    bool unloaded_ = false;
};

} // namespace editor
