#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class RemoteControl;

/**
 * frmKoppeln: pairs a new device each time it opens. It shows the address the phone opens, with the
 * token after "#" (which a browser never sends), as a QR code and as text to select; where the clock
 * listens on several addresses, the operator picks the one the phone can reach. Below, the paired
 * devices with their last command: renamed in place, revoked with "Entziehen".
 */
class PairingDialog : public QWidget
{
    Q_OBJECT

public:
    /// @p urls: where the web view is reached, "http://host:port/", the first one preferred.
    PairingDialog(RemoteControl &remote, const QStringList &urls, QWidget *parent = nullptr);

    void cmdEntziehen_Click();

private:
    void showAddress(int index);
    void refreshDevices();

    RemoteControl &m_remote;
    QStringList m_urls;
    QString m_token;
    QComboBox *cboKoppelnAdresse = nullptr;
    QLabel *imgKoppelnQr = nullptr;
    QLabel *lblKoppelnUrl = nullptr;
    QTreeWidget *lstGeraete = nullptr;
    QPushButton *cmdEntziehen = nullptr;
};

class VelorandWindow;
class WebServer;

/// Remote mode: the clock window's context menu gets "Fernbedienung koppeln…", which opens a PairingDialog.
void addPairingToMenu(VelorandWindow &clock, RemoteControl &remote, const WebServer &server);
