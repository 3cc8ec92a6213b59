// Velmora workbench. Licensed under the MIT licence.
#include "largefileview.h"

#include "capturetimes.h"
#include "lineindex.h"
#include "rowview.h"
#include "textsearch.h"

#include <runtimeerror.h>

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Read at a time between two looks at the clock: a millisecond's worth or so.
constexpr qint64 StepBytes = 1024 * 1024;

QString percent(double share)
{
    return QString::number(int(share * 100));
}

QToolButton *barButton(const QString &text, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(false);
    return button;
}

} // namespace

LargeFileView::LargeFileView(std::unique_ptr<LineIndex> index, QWidget *parent)
    : QWidget(parent)
    , m_index(std::move(index))
    , m_rows(new RowView(m_index.get(), this))
{
    m_rows->setObjectName(QStringLiteral("LargeFileRows"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_rows, 1);
    layout->addWidget(buildBar());
    setFocusProxy(m_rows);
    connect(m_rows, &RowView::copied, this, [this](qint64 rows, bool tooMany) {
        setStatus(tooMany ? tr("最多可复制 %1 行，请少选一些").arg(QLocale().toString(RowView::CopyLimit))
                          : tr("已复制 %1 行").arg(QLocale().toString(rows)));
    });

    m_work.setTimerType(Qt::PreciseTimer);
    m_work.setInterval(RestMs);
    connect(&m_work, &QTimer::timeout, this, &LargeFileView::work);
    m_work.start();
    showProgress();
}

LargeFileView::~LargeFileView() = default;

QWidget *LargeFileView::buildBar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("LargeFileBar"));
    auto *rows = new QVBoxLayout(bar);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);

    auto *findRow = new QHBoxLayout;
    auto *findLabel = new QLabel(tr("查找："), bar);
    m_findText = new QLineEdit(bar);
    m_findText->setObjectName(QStringLiteral("LargeFileFind"));
    findLabel->setBuddy(m_findText);
    QToolButton *previous = barButton(tr("上一个"), tr("向上查找（Shift+F3）"), bar);
    QToolButton *next = barButton(tr("下一个"), tr("向下查找（F3 或 Enter）"), bar);
    previous->setObjectName(QStringLiteral("LargeFilePrevious"));
    next->setObjectName(QStringLiteral("LargeFileNext"));
    findRow->addWidget(findLabel);
    findRow->addWidget(m_findText, 1);
    findRow->addWidget(previous);
    findRow->addWidget(next);
    rows->addLayout(findRow);

    auto *timeRow = new QHBoxLayout;
    auto *timeLabel = new QLabel(tr("时间："), bar);
    m_timeText = new QLineEdit(bar);
    m_timeText->setObjectName(QStringLiteral("LargeFileTime"));
    m_timeText->setPlaceholderText(QStringLiteral("hh:mm:ss"));
    m_timeText->setToolTip(tr("hh:mm:ss，或 mm-dd-yyyy hh:mm:ss"));
    m_timeText->setFixedWidth(m_timeText->fontMetrics().horizontalAdvance(QStringLiteral("00-00-0000 00:00:00")) + 12);
    timeLabel->setBuddy(m_timeText);
    QToolButton *go = barButton(tr("跳转"), tr("跳到这一时刻或其后的第一条记录（Enter）"), bar);
    go->setObjectName(QStringLiteral("LargeFileGo"));
    m_status = new QLabel(bar);
    m_status->setObjectName(QStringLiteral("LargeFileStatus"));
    m_status->setMinimumWidth(0);
    m_status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    timeRow->addWidget(timeLabel);
    timeRow->addWidget(m_timeText);
    timeRow->addWidget(go);
    timeRow->addWidget(m_status, 1);
    rows->addLayout(timeRow);

    // The labels line up, whatever the language.
    const int labelWidth = std::max(findLabel->sizeHint().width(), timeLabel->sizeHint().width());
    findLabel->setFixedWidth(labelWidth);
    timeLabel->setFixedWidth(labelWidth);

    connect(previous, &QToolButton::clicked, this, &LargeFileView::findPrevious);
    connect(next, &QToolButton::clicked, this, &LargeFileView::findNext);
    connect(m_findText, &QLineEdit::returnPressed, this, &LargeFileView::findNext);
    connect(go, &QToolButton::clicked, this, &LargeFileView::goToTime);
    connect(m_timeText, &QLineEdit::returnPressed, this, &LargeFileView::goToTime);
    return bar;
}

void LargeFileView::findNext()
{
    find(true);
}

void LargeFileView::findPrevious()
{
    find(false);
}

// From the match shown, or else from the top of the view, and on from there.
void LargeFileView::find(bool forward)
{
    const QString text = m_findText->text();
    if (text.isEmpty()) {
        m_findText->setFocus();
        return;
    }
    stop();
    qint64 from = m_rows->markOffset();
    if (from < 0) {
        const QList<LineIndex::Row> top = m_index->rows(m_rows->firstRow(), 1);
        from = top.isEmpty() ? 0 : top.first().offset;
    } else if (forward) {
        ++from;
    }
    try {
        m_search = std::make_unique<TextSearch>(m_index->path(), text,
            forward ? TextSearch::Direction::Forward : TextSearch::Direction::Backward, from);
    } catch (const Component::RuntimeError &error) {
        setStatus(error.description());
        return;
    }
    m_sought = text;
    m_forward = forward;
    m_work.start();
    showProgress();
}

void LargeFileView::goToTime()
{
    const std::optional<CaptureTimes::Moment> target = CaptureTimes::parse(m_timeText->text());
    if (!target) {
        setStatus(tr("请按 hh:mm:ss 或 mm-dd-yyyy hh:mm:ss 输入时间"));
        m_timeText->setFocus();
        return;
    }
    stop();
    try {
        m_seek = std::make_unique<CaptureTimes>(m_index->path(), *target);
    } catch (const Component::RuntimeError &error) {
        setStatus(error.description());
        return;
    }
    m_sought = m_timeText->text().trimmed();
    m_work.start();
    showProgress();
}

void LargeFileView::stop()
{
    if (!m_search && !m_seek)
        return;
    m_search.reset();
    m_seek.reset();
    setStatus(tr("已停止"));
    if (m_index->isComplete())
        m_work.stop();
}

// One slice: the index first, then the search or the seek asked for.
void LargeFileView::work()
{
    QElapsedTimer slice;
    slice.start();
    const qint64 rowsBefore = m_index->rowCount();
    bool answered = false;
    while (slice.elapsed() < SliceMs && isBusy()) {
        if (!m_index->isComplete())
            m_index->indexMore(StepBytes);
        else if (m_search || m_seek)
            answered = stepTask();
        else
            m_work.stop();
    }
    if (m_index->rowCount() != rowsBefore)
        m_rows->rowsAdded();
    // A finished search or seek has said what it found.
    if (!answered)
        showProgress();
}

// Returns whether the search or seek finished.
bool LargeFileView::stepTask()
{
    if (m_search) {
        m_search->searchMore(StepBytes);
        if (!m_search->isFinished())
            return false;
        finishSearch();
    } else if (m_seek) {
        m_seek->seekMore(StepBytes);
        if (!m_seek->isFinished())
            return false;
        finishSeek();
    }
    return true;
}

void LargeFileView::finishSearch()
{
    const std::unique_ptr<TextSearch> search = std::move(m_search);
    m_work.stop();
    if (search->matchOffset() < 0) {
        setStatus(m_forward ? tr("向下未找到“%1”").arg(m_sought) : tr("向上未找到“%1”").arg(m_sought));
        return;
    }
    const qint64 row = m_index->rowAt(search->matchOffset());
    m_rows->setMark(search->matchOffset(), search->matchBytes());
    m_rows->showRow(row);
    setStatus(tr("第 %1 行").arg(QLocale().toString(row + 1)));
}

void LargeFileView::finishSeek()
{
    const std::unique_ptr<CaptureTimes> seek = std::move(m_seek);
    m_work.stop();
    if (seek->foundOffset() < 0) {
        setStatus(tr("没有 %1 或更晚的记录").arg(m_sought));
        return;
    }
    const qint64 row = m_index->rowAt(seek->foundOffset());
    m_rows->setMark(seek->foundOffset(), seek->foundBytes());
    m_rows->showRow(row);
    setStatus(tr("第 %1 行").arg(QLocale().toString(row + 1)));
}

void LargeFileView::showProgress()
{
    if (!m_index->isComplete()) {
        setStatus(tr("正在建立行索引… %1%").arg(percent(double(m_index->indexedBytes()) / m_index->fileBytes())));
    } else if (m_search) {
        setStatus(tr("正在查找… %1%（Esc 停止）").arg(percent(m_search->progress())));
    } else if (m_seek) {
        setStatus(tr("正在查找时间… %1%（Esc 停止）").arg(percent(m_seek->progress())));
    } else {
        setStatus(tr("共 %1 行").arg(QLocale().toString(m_index->rowCount())));
    }
}

// Long texts (a long search text) are cut short with an ellipsis; the tooltip holds them whole.
void LargeFileView::setStatus(const QString &text)
{
    m_statusText = text;
    m_status->setText(m_status->fontMetrics().elidedText(text, Qt::ElideMiddle, m_status->width()));
    m_status->setToolTip(text);
}

void LargeFileView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setStatus(m_statusText);
}

void LargeFileView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && (m_search || m_seek)) {
        stop();
        return;
    }
    if (event->key() == Qt::Key_F3) {
        find(!(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    if (event->matches(QKeySequence::Find)) {
        m_findText->setFocus();
        m_findText->selectAll();
        return;
    }
    QWidget::keyPressEvent(event);
}
