// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/movie.h"
#include "lookup/source.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace lookupwindows {

// The boxes of a movie dialog that a look-up reads and fills in; all belong to that dialog.
struct MovieBoxes {
    QComboBox *category;
    QLineEdit *title;
    QPlainTextEdit *description;
    QPlainTextEdit *actors;
    QComboBox *rating;
    QLineEdit *year;
    QLineEdit *time;
};

// Looks the movie of a dialog up online: searches for the typed title (and year), lets the
// user pick a film, then shows each field's value now beside the one found, and puts the
// checked ones into the boxes. The dialog is blocked while this window shows; nothing is
// written to the catalogue here.
class FrmLookup : public QDialog {
    Q_OBJECT
public:
    // Starts the search and shows the window, owned by the dialog; nullptr, after a message
    // saying why, when no title is typed or no source can be had.
    static FrmLookup *start(QWidget *dialog, const MovieBoxes &boxes);
    ~FrmLookup() override;

    // Stops the request in flight at once and closes the window (the dialog is going away).
    void abandon();

    void reject() override;

private:
    enum class Step { Searching, Choosing, Reading, Comparing };
    struct Offer {
        catalogue::Field field;
        QString value;
        QCheckBox *check;
    };

    FrmLookup(QWidget *dialog, const MovieBoxes &boxes, std::unique_ptr<lookup::Source> source);

    void search(const QString &title, int year);
    void onSearchFinished();
    void chooseCandidate();
    void onDetailsFinished();
    void showComparison(const catalogue::Movie &proposed);
    void apply();

    void showStep(Step step, const QString &status = {});
    // Hands the request's signal to done; the request is stopped when the window goes.
    void follow(std::unique_ptr<lookup::Request> request, void (FrmLookup::*done)());
    // The request that just finished, kept until the next one finishes or the window goes.
    lookup::Request *takeFinished();
    void dropRequest();
    void endWithMessage(bool problem, const QString &text);

    QString current(catalogue::Field field) const;
    void put(catalogue::Field field, const QString &value);

    QPointer<QWidget> dialog_;
    MovieBoxes boxes_;
    QString title_;
    int year_ = 0;
    QList<lookup::Candidate> candidates_;
    std::vector<Offer> offers_;

    QStackedWidget *pages_;
    QLabel *statusLabel_;
    QTreeWidget *candidateList_;
    QWidget *comparison_;
    QGridLayout *comparisonGrid_;
    QLabel *comparisonNote_;
    QPushButton *okButton_;
    QPushButton *applyButton_;
    QPushButton *cancelButton_;

    // Declared before the requests, so that no request outlives its source.
    std::unique_ptr<lookup::Source> source_;
    std::unique_ptr<lookup::Request> finished_;
    std::unique_ptr<lookup::Request> request_;
};

} // namespace lookupwindows
