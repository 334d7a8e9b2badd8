// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The search panel on the left of the main window ("Picture0"): the text to find, the
// field to look in, the button that runs the search and the count of movies found.
class SearchPanel : public QWidget {
    Q_OBJECT
public:
    explicit SearchPanel(QWidget *parent = nullptr);

    // Puts the keyboard focus in the search text, all of it selected.
    void focusSearchText();
    // Fills the field selector with the searchable fields; "Title" stays shown.
    void loadSearchFields();
    QString searchText() const;
    QString searchField() const;

    // The count of movies found: hidden, emptied before a search, or shown with a count.
    void hideFound();
    void clearFound();
    void showFound(int count);

signals:
    // The user asked for a search, with the button or with Enter in the text box.
    void searchRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onFieldEdited(const QString &text);

    QLineEdit *searchText_ = nullptr;
    QComboBox *searchField_ = nullptr;
    QPushButton *searchButton_ = nullptr;
    QLabel *foundLabel_ = nullptr;
};
