// Velmora workbench. Licensed under the MIT licence.
#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>

class CaptureTimes;
class LineIndex;
class QLabel;
class QLineEdit;
class QToolButton;
class RowView;
class TextSearch;

// A text file too large to hold, shown whole: its rows are indexed, and a text is
// found or a time sought, in slices of a few milliseconds between the program's other
// events, so that reception and the windows go on meanwhile. A bar below the rows
// holds the search and the time and says how far the work has come.
class LargeFileView : public QWidget
{
    Q_OBJECT

public:
    // The longest the view works on before it lets the program's other events through.
    static constexpr int SliceMs = 5;
    // The pause after each slice: a thread that never sleeps is the last the system
    // schedules on a busy machine, and reception waits with it.
    static constexpr int RestMs = 3;

    explicit LargeFileView(std::unique_ptr<LineIndex> index, QWidget *parent = nullptr);
    ~LargeFileView() override;

    LineIndex *index() const { return m_index.get(); }
    RowView *rows() const { return m_rows; }
    QLineEdit *findText() const { return m_findText; }
    QLineEdit *timeText() const { return m_timeText; }
    QString status() const { return m_statusText; }

    // Indexing, searching or seeking a time.
    bool isBusy() const { return m_work.isActive(); }

    void findNext();
    void findPrevious();
    void goToTime();
    // Stops a search or a seek (indexing goes on).
    void stop();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildBar();
    void find(bool forward);
    void work();
    bool stepTask();
    void finishSearch();
    void finishSeek();
    void setStatus(const QString &text);
    void showProgress();

    std::unique_ptr<LineIndex> m_index;
    std::unique_ptr<TextSearch> m_search;
    std::unique_ptr<CaptureTimes> m_seek;
    QString m_sought;
    bool m_forward = true;
    QTimer m_work;
    RowView *m_rows;
    QLineEdit *m_findText = nullptr;
    QLineEdit *m_timeText = nullptr;
    QLabel *m_status = nullptr;
    QString m_statusText;
};
