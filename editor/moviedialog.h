// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <initializer_list>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace catalogue {
class RecordCursor;
}

namespace widgets {
class CatalogueHost;
}

namespace lookupwindows {
class FrmLookup;
}

namespace editor {

// The window shared by the add and edit dialogs: the controls, each bound to one field
// of the dialog's own cursor, the two lists, and the Finish, Help and closing
// steps. It says when it unloads, so that the main window can give "Compact" back.
class MovieDialog : public QWidget {
    Q_OBJECT
public:
    ~MovieDialog() override;

    // From construction until the dialog closes (or gives up loading).
    bool isLoaded() const { return !unloaded_; }

    // True when a control holds text that differs from what the dialog opened with.
    bool hasUnsavedEntries() const;
    // Asks "Discard the changes to this movie?" when there are unsaved entries; true
    // when there are none or the user lets them go.
    bool mayDiscardEntries();

signals:
    // The dialog closed: its pending row or edit, if any, is dropped.
    void unloaded();

protected:
    // What tells the two dialogs apart on screen; places are in twips.
    struct Look {
        QString caption;
        QString header;
        QRect headerPlace;
        QPoint imagePlace;
        bool minutesLabel;
    };

    MovieDialog(widgets::CatalogueHost &host, const Look &look);

    // Appends the fixed lists; the text shown in each combo stays, and no entry is selected.
    void loadCategories();
    void loadRatings();
    void setTabOrderChain(std::initializer_list<QWidget *> chain);
    // Takes what the controls show now as the entries that need no saving.
    void rememberEntries();
    QString catalogueFile() const;
    void showProblem(const QString &message);
    // The steps of the close box, also run when Finish or Cancel unloads the dialog:
    // a pending row or edit is dropped, and unloaded() is emitted, once.
    void unload();

    void closeEvent(QCloseEvent *event) override;

    widgets::CatalogueHost &host_;
    catalogue::RecordCursor *cursor_;

    QComboBox *categoryBox_;
    QLineEdit *titleText_;
    QPlainTextEdit *descriptionText_;
    QPlainTextEdit *actorsText_;
    QPlainTextEdit *reviewText_;
    QComboBox *ratingBox_;
    QLineEdit *yearText_;
    QLineEdit *timeText_;
    QPushButton *finishButton_;
    QPushButton *cancelButton_;
    QPushButton *helpButton_;
    QPushButton *lookupButton_;

private:
    void onFinishClicked();
    void onHelpClicked();
    void onLookupClicked();
    virtual void onCancelClicked() = 0;
    void dropPending();
    QStringList entries() const;

    bool unloaded_ = false;
    // Set by Finish and Cancel, whose close needs no question.
    bool closingByButton_ = false;
    QStringList remembered_;
    QPointer<lookupwindows::FrmLookup> lookup_;
};

} // namespace editor
