#include "app/TfrmMain.h"
#include "link/UsbMeterInfo.h"
#include "session/MeterFactory.h"
#include "session/MeterSession.h"

#include <QComboBox>
#include <QLabel>
#include <QSettings>

namespace thermo4::ui {

void TfrmMain::fillUsbMeters() {
    if (!m_services.meter)
        return;
    const std::vector<link::UsbMeterInfo> meters = m_services.meter->usbMeters();
    QStringList listed;
    for (int i = 0; i < ComboBoxDeviceName->count(); ++i) {
        if (!ComboBoxDeviceName->itemData(i).isNull())
            listed.append(ComboBoxDeviceName->itemData(i).toString());
    }
    QStringList attached;
    for (const link::UsbMeterInfo& meter : meters)
        attached.append(meter.path);
    if (listed != attached) {
        // What the user typed or chose stays in the box while the items change.
        const QString text = ComboBoxDeviceName->currentText();
        for (int i = ComboBoxDeviceName->count() - 1; i >= 0; --i) {
            if (!ComboBoxDeviceName->itemData(i).isNull())
                ComboBoxDeviceName->removeItem(i);
        }
        for (const link::UsbMeterInfo& meter : meters) {
            const QString place = meter.location.isEmpty() ? QString() : QLatin1Char(' ') + meter.location;
            ComboBoxDeviceName->addItem(QStringLiteral("USB%1: %2").arg(place, meter.path), meter.path);
        }
        ComboBoxDeviceName->setEditText(text);
    }
    if (const auto held = m_services.meter->usbMeter(); held && m_session->usbLink()) {
        if (const int index = ComboBoxDeviceName->findData(held->path); index >= 0)
            ComboBoxDeviceName->setCurrentIndex(index);
    }
}

void TfrmMain::deviceChosen(int index) {
    const QVariant usbPath = ComboBoxDeviceName->itemData(index);
    if (usbPath.isNull() || !m_services.meter) {
        ComboBoxDeviceNameChange();
        return;
    }
    // The connection goes (with its lock); the next poll tick takes the chosen meter.
    m_services.meter->chooseUsbMeter(usbPath.toString());
    m_session->disconnectSerial();
}

void TfrmMain::showMeter() {
    const QString name =
        m_services.meter && m_session->connected() ? m_services.meter->meterName() : QString();
    setWindowTitle(name.isEmpty() ? QStringLiteral("thermo4") : QStringLiteral("thermo4 - %1").arg(name));
    StatusPanelMeter->setText(name);
    if (!m_services.meter)
        return;
    fillUsbMeters();
    if (const auto held = m_services.meter->usbMeter(); held && m_session->usbLink()) {
        const auto settings = openSettings();
        settings->setValue(QLatin1String(kUsbMeterKey), held->name());
    }
}

} // namespace thermo4::ui
