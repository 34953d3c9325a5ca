#include "logs/frmActivityLog.h"

#include "history/take_list.h"
#include "logs/log_viewer.h"
#include "station/messages.h"
#include "station/station.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFont>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace {

// The chart spans the whole hours of its readings and takes, so a short day
// is not lost in a 24-hour axis.
std::pair<QDateTime, QDateTime> chartHours(const QDate& day, const QList<EbNoReading>& readings,
                                           const QList<TakeSpan>& spans) {
    const QDateTime dayStart(day, QTime(0, 0));
    QList<qint64> secs;
    for (const EbNoReading& r : readings)
        secs << r.time.msecsSinceStartOfDay() / 1000;
    for (const TakeSpan& s : spans)
        secs << dayStart.secsTo(s.from) << dayStart.secsTo(s.to);
    if (secs.isEmpty())
        return {dayStart, dayStart.addDays(1)};
    const auto [first, last] = std::minmax_element(secs.begin(), secs.end());
    const qint64 fromHour = *first / 3600, toHour = std::max(fromHour + 1, (*last + 3599) / 3600);
    return {dayStart.addSecs(fromHour * 3600),
            dayStart.addSecs(std::min<qint64>(toHour, 24) * 3600)};
}

// The view lets go of the chart it showed, which goes with it.
void replaceChart(QChartView* view, QChart* chart) {
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}

} // namespace

frmActivityLog::frmActivityLog(Station& station, const QString& kind, const TakeHistory* history,
                               QWidget* parent)
    : QDialog(parent), lstDate(new QListWidget(this)), Option1(new QRadioButton("By Time", this)),
      Option2(new QRadioButton("By Event", this)), cmdOk(new QPushButton("OK", this)),
      lstActivityLog(new QListWidget(this)), cmdClose(new QPushButton("&Close", this)),
      chtEbNo(new QChartView(this)), station_(station), kind_(kind), history_(history) {
    setObjectName("frmActivityLog");
    setWindowTitle("Log Viewer");
    lstDate->setObjectName("lstDate");
    Option1->setObjectName("Option1");
    Option2->setObjectName("Option2");
    cmdOk->setObjectName("cmdOk");
    lstActivityLog->setObjectName("lstActivityLog");
    QFont courier("Courier New");
    courier.setStyleHint(QFont::TypeWriter);
    lstActivityLog->setFont(courier);
    cmdClose->setObjectName("cmdClose");
    chtEbNo->setObjectName("chtEbNo");
    chtEbNo->setRenderHint(QPainter::Antialiasing);
    chtEbNo->setMinimumWidth(460);

    auto* left = new QVBoxLayout;
    left->addWidget(lstDate);
    left->addWidget(Option1);
    left->addWidget(Option2);
    left->addWidget(cmdOk);
    left->addWidget(cmdClose);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(lstActivityLog, 1);
    layout->addWidget(chtEbNo, 1);
    resize(760, 420);

    connect(cmdOk, &QPushButton::clicked, this, &frmActivityLog::showDay);
    connect(lstDate, &QListWidget::itemDoubleClicked, this, &frmActivityLog::showDay);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    load();
}

void frmActivityLog::showKind(const QString& kind) {
    if (kind == kind_)
        return;
    kind_ = kind;
    load();
}

void frmActivityLog::load() {
    lstDate->clear();
    lstActivityLog->clear();
    lstDate->addItems(logDays(station_.paths(), kind_));
    lstDate->scrollToTop();
    lstDate->setCurrentRow(0);
    Option1->setChecked(true);
    setWindowTitle(logWindowCaption(kind_));
    chtEbNo->setVisible(kind_ == "EB");
    replaceChart(chtEbNo, new QChart);
    if (kind_ == "EB" && width() < 1180)
        resize(1180, std::max(height(), 480));
}

void frmActivityLog::showDay() {
    QListWidgetItem* item = lstDate->currentItem();
    if (item && item->text() == NoLogsFound) {
        lstActivityLog->clear();
        return;
    }
    if (!item || !item->isSelected()) {
        station_.messages().ShowMessage(logSelectPrompt(kind_));
        return;
    }
    setWindowTitle(logDayCaption(kind_, item->text()));
    lstActivityLog->clear();
    lstActivityLog->addItems(
        logDayLines(station_.paths(), kind_, item->text(), Option2->isChecked()));
    if (kind_ == "EB")
        chartEbNo(logDayDate(item->text()));
}

void frmActivityLog::chartEbNo(const QDate& day) {
    const QList<EbNoReading> readings =
        ebNoReadings(logDayLines(station_.paths(), "EB", day.toString("MM/dd/yy"), false));
    // A take begun the evening before may run on into the day.
    const QList<TakeSpan> spans =
        history_ ? takeSpansOn(history_->since(QDateTime(day.addDays(-1), QTime(0, 0))), day)
                 : QList<TakeSpan>{};

    auto* chart = new QChart;
    chart->setTitle("Eb/No on " + day.toString("ddd MM/dd/yy"));
    auto* x = new QDateTimeAxis(chart);
    x->setFormat("HH:mm");
    x->setTitleText("Time");
    const auto [from, to] = chartHours(day, readings, spans);
    x->setRange(from, to);
    x->setTickCount(int(std::clamp(from.secsTo(to) / 3600, qint64(2), qint64(8))) + 1);
    auto* y = new QValueAxis(chart);
    y->setTitleText("Eb/No (dB)");
    double low = 0, high = 20;
    if (!readings.isEmpty()) {
        const auto [lo, hi] = std::minmax_element(
            readings.begin(), readings.end(),
            [](const EbNoReading& a, const EbNoReading& b) { return a.dB < b.dB; });
        low = std::floor(lo->dB) - 1;
        high = std::ceil(hi->dB) + 1;
    }
    y->setRange(low, high);
    y->applyNiceNumbers();
    low = y->min();
    high = y->max();
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);

    // Takes first, so the readings are drawn over them; the legend names
    // each kind of band once.
    QStringList named;
    for (const TakeSpan& span : spans) {
        auto* upper = new QLineSeries(chart);
        auto* lower = new QLineSeries(chart);
        for (const QDateTime& t : {span.from, span.to}) {
            upper->append(qreal(t.toMSecsSinceEpoch()), high);
            lower->append(qreal(t.toMSecsSinceEpoch()), low);
        }
        auto* band = new QAreaSeries(upper, lower);
        band->setName(span.failure ? "failed take" : "take");
        band->setColor(span.failure ? QColor(220, 50, 50, 80) : QColor(60, 150, 80, 70));
        band->setBorderColor(Qt::transparent);
        chart->addSeries(band);
        band->attachAxis(x);
        band->attachAxis(y);
        if (named.contains(band->name()))
            for (QLegendMarker* marker : chart->legend()->markers(band))
                marker->setVisible(false);
        named << band->name();
    }
    auto* line = new QLineSeries(chart);
    line->setName("Eb/No");
    line->setColor(QColor(30, 90, 200));
    line->setPointsVisible(readings.size() < 100);
    for (const EbNoReading& r : readings)
        line->append(qreal(QDateTime(day, r.time).toMSecsSinceEpoch()), r.dB);
    chart->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
    chart->legend()->setAlignment(Qt::AlignBottom);

    replaceChart(chtEbNo, chart);
}
