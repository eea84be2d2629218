#pragma once
// The record navigator: first, prior, next and last over the shown rows of a
// grid model, the rows a window shows.
// A move emits moved(); the buttons follow the position (first and prior are
// disabled on the first row, next and last on the last one, all of them when
// there is no row or the navigator is disabled).

#include <QPointer>
#include <QWidget>

class QToolButton;
class QueryTableModel;

class TRecordNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TRecordNavigator(QWidget* parent = nullptr);

    void SetModel(QueryTableModel* model);
    // Re-reads the position (after the rows were read again or located).
    void UpdateButtons();

    QToolButton* btnFirst;
    QToolButton* btnPrior;
    QToolButton* btnNext;
    QToolButton* btnLast;

signals:
    void moved();

protected:
    void changeEvent(QEvent* event) override;

private:
    int Count() const;
    int Current() const;
    void MoveTo(int row);

    QPointer<QueryTableModel> m_model;
};
