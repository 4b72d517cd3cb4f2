#pragma once

#include "chart/GraphState.h"

#include <QDialog>
#include <QPushButton>

#include <vector>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;

namespace thermo4::chart {

/// A push button that shows a colour and lets the user pick another.
class ColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorButton(const QColor& color, QWidget* parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

private:
    void choose();
    QColor m_color;
};

/// The graph's customization dialog: titles, grid, colours, hot spots, text sizes, subset
/// labels, colours and line widths, Y axes and fonts, on pages the graph may hide.
class CustomizeDialog : public QDialog {
    Q_OBJECT
public:
    /// `axisCount` Y axes are offered on the axis page (the axes of the current view).
    CustomizeDialog(const GraphState& state, int axisCount, QWidget* parent = nullptr);

    /// Writes the fields of the pages shown into `state`; nothing else is touched.
    void applyTo(GraphState& state) const;
    /// Titles of the pages shown, in order.
    QStringList pageTitles() const;

private:
    QWidget* buildGeneralPage(const GraphState& state);
    QWidget* buildStylePage(const GraphState& state);
    QWidget* buildSubsetsPage(const GraphState& state);
    QWidget* buildAxisPage(const GraphState& state, int axisCount);
    QWidget* buildFontPage(const GraphState& state);

    QTabWidget* m_tabs = nullptr;
    bool m_general = false, m_style = false, m_subsetsPage = false, m_axisPage = false, m_fontPage = false;

    QLineEdit* m_mainTitle = nullptr;
    QLineEdit* m_subTitle = nullptr;
    QLineEdit* m_xAxisLabel = nullptr;
    QComboBox* m_gridStyle = nullptr;
    ColorButton* m_foreColor = nullptr;
    ColorButton* m_backColor = nullptr;
    ColorButton* m_deskColor = nullptr;
    ColorButton* m_textColor = nullptr;

    QComboBox* m_zooming = nullptr;
    QCheckBox* m_dataHotSpots = nullptr;
    QCheckBox* m_graphHotSpots = nullptr;
    QCheckBox* m_annotHotSpots = nullptr;
    QCheckBox* m_showAnnotations = nullptr;
    QCheckBox* m_showLegend = nullptr;
    QSpinBox* m_annotationTextSize = nullptr;
    QSpinBox* m_lineTextSize = nullptr;
    QSpinBox* m_tableTextSize = nullptr;

    struct SubsetRow {
        QLineEdit* label;
        ColorButton* color;
        QDoubleSpinBox* width;
    };
    std::vector<SubsetRow> m_subsets;
    struct AxisRow {
        QLineEdit* label;
        QComboBox* scale;
        QDoubleSpinBox* min;
        QDoubleSpinBox* max;
    };
    std::vector<AxisRow> m_axes;

    QFontComboBox* m_fontFamily = nullptr;
    QSpinBox* m_fontSize = nullptr;
};

} // namespace thermo4::chart
