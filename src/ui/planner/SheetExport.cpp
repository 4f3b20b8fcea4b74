#include "ui/planner/SheetExport.h"

#include <algorithm>

#include <QDir>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "ui/widgets/CChartWidget.h"
#include "ui/widgets/CSideViewWidget.h"
#include "ui/planner/PlannerCharts.h"

namespace korvan {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

struct Section {
  QString name;
  std::vector<const planner::SheetRow*> rows;
};

std::vector<Section> Sections(const std::vector<planner::SheetRow>& rows) {
  std::vector<Section> sections;
  for (const planner::SheetRow& row : rows) {
    if (row.key == "note" || row.key == "dateTime") continue;  // printed in their own places
    if (sections.empty() || sections.back().name != Q(row.section)) sections.push_back({Q(row.section), {}});
    sections.back().rows.push_back(&row);
  }
  return sections;
}

QString Shown(const planner::SheetRow& row) {
  QString text = Q(row.text);
  if (!row.unit.empty() && !text.isEmpty()) text += QLatin1Char(' ') + Q(row.unit);
  return text;
}

// Lays the sections out in two columns from `top`; returns the bottom it reached, or nothing when
// they do not fit above `bottom`. Draws only when `draw` is set.
std::optional<double> LayOutRows(QPainter& painter, const std::vector<Section>& sections, const QRectF& area,
                                 bool draw) {
  const QFontMetricsF metrics(painter.font(), painter.device());
  const double gap = metrics.height();
  const double columnWidth = (area.width() - gap) / 2;
  // Labels take what the longest needs, but leave the texts at least two fifths of a column.
  double labelWidth = 0;
  for (const Section& section : sections) {
    for (const planner::SheetRow* row : section.rows) labelWidth = std::max(labelWidth, metrics.horizontalAdvance(Q(row->label)));
  }
  labelWidth = std::min(labelWidth + metrics.averageCharWidth() * 2, columnWidth * 0.6);
  QFont bold = painter.font();
  bold.setBold(true);
  const QFont plain = painter.font();
  int column = 0;
  double y = area.top();
  double lowest = y;
  for (const Section& section : sections) {
    // Each section stays in one column; a section that does not fit starts the next one.
    double height = metrics.height() * 1.4;
    std::vector<double> heights;
    for (const planner::SheetRow* row : section.rows) {
      const QRectF text = metrics.boundingRect(QRectF(0, 0, columnWidth - labelWidth, 1e6), Qt::TextWordWrap, Shown(*row));
      const QRectF label = metrics.boundingRect(QRectF(0, 0, labelWidth, 1e6), Qt::TextWordWrap, Q(row->label));
      heights.push_back(std::max({metrics.height(), text.height(), label.height()}) * 1.05);
      height += heights.back();
    }
    if (y + height > area.bottom() && y > area.top()) {
      if (++column > 1) return std::nullopt;
      y = area.top();
    }
    if (y + height > area.bottom()) return std::nullopt;
    const double left = area.left() + column * (columnWidth + gap);
    if (draw) {
      painter.setFont(bold);
      painter.drawText(QRectF(left, y, columnWidth, metrics.height() * 1.3), Qt::AlignLeft | Qt::AlignBottom, section.name);
      painter.setPen(QPen(Qt::gray, 0));
      painter.drawLine(QPointF(left, y + metrics.height() * 1.3), QPointF(left + columnWidth, y + metrics.height() * 1.3));
      painter.setPen(Qt::black);
      painter.setFont(plain);
    }
    y += metrics.height() * 1.4;
    for (std::size_t index = 0; index < section.rows.size(); ++index) {
      const planner::SheetRow& row = *section.rows[index];
      if (draw) {
        painter.drawText(QRectF(left, y, labelWidth, heights[index]), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                         Q(row.label));
        painter.drawText(QRectF(left + labelWidth, y, columnWidth - labelWidth, heights[index]),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Shown(row));
      }
      y += heights[index];
    }
    lowest = std::max(lowest, y);
  }
  return lowest;
}

}  // namespace

QString SheetPath(const QString& chosen, SheetForm& form) {
  for (const SheetFilter& filter : kSheetFilters) {
    if (chosen.endsWith(QLatin1Char('.') + QLatin1String(filter.suffix), Qt::CaseInsensitive)) {
      form = filter.form;
      return chosen;
    }
  }
  for (const SheetFilter& filter : kSheetFilters) {
    if (filter.form == form) return chosen + QLatin1Char('.') + QLatin1String(filter.suffix);
  }
  return chosen;
}

QByteArray SheetBytes(const planner::Plan& plan, const planner::SheetInfo& info, SheetForm form) {
  switch (form) {
    case SheetForm::Csv:
      return QByteArray::fromStdString(planner::SheetCsv(planner::MakeSheetRows(plan, info)));
    case SheetForm::Json:
      return QByteArray::fromStdString(planner::SheetJson(plan, info));
    case SheetForm::Pdf:
      break;
  }
  return {};
}

void PaintSheet(QPdfWriter& writer, const planner::Plan& plan, const planner::SheetInfo& info) {
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(14, 14, 14, 14), QPageLayout::Millimeter);
  writer.setResolution(300);
  writer.setTitle(QStringLiteral("Setup Sheet"));
  writer.setCreator(QStringLiteral("Korvan Lens Calculator"));

  QPainter painter(&writer);
  const QRectF page(QPointF(0, 0), QSizeF(writer.width(), writer.height()));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSizeF(8);
  painter.setFont(font);
  // Measured on the page, whose resolution is not the screen's.
  const QFontMetricsF metrics(font, &writer);

  QFont titleFont = font;
  titleFont.setPointSizeF(15);
  titleFont.setBold(true);
  painter.setFont(titleFont);
  const double titleHeight = QFontMetricsF(titleFont, &writer).height() * 1.3;
  painter.drawText(QRectF(page.left(), page.top(), page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Setup Sheet"));
  painter.setFont(font);
  painter.drawText(QRectF(page.left(), page.top(), page.width(), titleHeight), Qt::AlignRight | Qt::AlignVCenter,
                   Q(info.dateTime));

  // The pictures take the lower part of the page; the rows what is above, in the largest font
  // that still fits.
  const double diagramHeight = page.height() * 0.17;
  const double chartHeight = page.height() * 0.22;
  const double gap = metrics.height();
  const QRectF chartArea(page.left(), page.bottom() - chartHeight, page.width() * 0.62, chartHeight);
  const QRectF noteArea(chartArea.right() + gap, chartArea.top(), page.right() - chartArea.right() - gap, chartHeight);
  const QRectF diagramArea(page.left(), chartArea.top() - gap - diagramHeight, page.width(), diagramHeight);
  const QRectF rowsArea(page.left(), page.top() + titleHeight + gap * 0.5, page.width(),
                        diagramArea.top() - gap - page.top() - titleHeight - gap * 0.5);

  const std::vector<planner::SheetRow> rows = planner::MakeSheetRows(plan, info);
  const std::vector<Section> sections = Sections(rows);
  QFont rowFont = font;
  for (double size = 8.5; size >= 4.5; size -= 0.5) {
    rowFont.setPointSizeF(size);
    painter.setFont(rowFont);
    if (LayOutRows(painter, sections, rowsArea, false)) break;
  }
  LayOutRows(painter, sections, rowsArea, true);

  painter.setFont(font);
  painter.setPen(QPen(Qt::gray, 0));
  painter.drawRect(diagramArea);
  painter.setPen(Qt::black);
  CSideViewWidget::Paint(painter, diagramArea.adjusted(gap * 0.5, gap * 0.3, -gap * 0.5, -gap * 0.3), SideView(plan));
  CChartWidget::Paint(painter, chartArea, BudgetChart(plan));

  QFont bold = font;
  bold.setBold(true);
  painter.setFont(bold);
  painter.drawText(QRectF(noteArea.left(), noteArea.top(), noteArea.width(), metrics.height() * 1.3),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Note"));
  painter.setFont(font);
  painter.setPen(QPen(Qt::gray, 0));
  const QRectF noteBox = noteArea.adjusted(0, metrics.height() * 1.4, 0, 0);
  painter.drawRect(noteBox);
  painter.setPen(Qt::black);
  painter.drawText(noteBox.adjusted(gap * 0.4, gap * 0.3, -gap * 0.4, -gap * 0.3),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString::fromUtf8(info.note.data(), info.note.size()));
}

QString WriteSheet(const SheetRequest& request, const planner::Plan& plan, const planner::SheetInfo& info) {
  const auto failure = [&request](const QString& reason) {
    return QStringLiteral("Cannot write ") + QDir::toNativeSeparators(request.path) + QStringLiteral(": ") + reason;
  };
  QSaveFile file(request.path);
  if (!file.open(QIODevice::WriteOnly)) return failure(file.errorString());
  if (request.form == SheetForm::Pdf) {
    QPdfWriter writer(&file);
    PaintSheet(writer, plan, info);
  } else {
    const QByteArray bytes = SheetBytes(plan, info, request.form);
    if (file.write(bytes) != bytes.size()) {
      const QString reason = file.errorString();
      file.cancelWriting();
      return failure(reason);
    }
  }
  if (!file.commit()) return failure(file.errorString());
  return {};
}

}  // namespace korvan
