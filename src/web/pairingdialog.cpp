#include "web/pairingdialog.h"

#include "shell/velorandwindow.h"
#include "web/qrcode.h"
#include "web/remotecontrol.h"
#include "web/webserver.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

template <typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

} // namespace

PairingDialog::PairingDialog(RemoteControl &remote, const QStringList &urls, QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_remote(remote)
    , m_urls(urls)
    , m_token(remote.devices().pair())
{
    setObjectName(QStringLiteral("frmKoppeln"));
    setWindowTitle(QStringLiteral("Fernbedienung koppeln"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *hint = new QLabel(
        QStringLiteral("Mit der Kamera des Telefons den Code lesen oder die Adresse im Browser öffnen:"),
        this);
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    cboKoppelnAdresse = named(new QComboBox(this), "cboKoppelnAdresse");
    for (const QString &url : urls)
        cboKoppelnAdresse->addItem(url);
    cboKoppelnAdresse->setVisible(urls.size() > 1);
    layout->addWidget(cboKoppelnAdresse);
    imgKoppelnQr = named(new QLabel(this), "imgKoppelnQr");
    imgKoppelnQr->setAlignment(Qt::AlignCenter);
    layout->addWidget(imgKoppelnQr);
    lblKoppelnUrl = named(new QLabel(this), "lblKoppelnUrl");
    lblKoppelnUrl->setTextFormat(Qt::PlainText);
    lblKoppelnUrl->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblKoppelnUrl->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblKoppelnUrl);
    lstGeraete = named(new QTreeWidget(this), "lstGeraete");
    lstGeraete->setHeaderLabels(
        { QStringLiteral("Name"), QStringLiteral("Gekoppelt"), QStringLiteral("Letzter Befehl") });
    lstGeraete->setRootIsDecorated(false);
    lstGeraete->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(lstGeraete);
    cmdEntziehen = named(new QPushButton(QStringLiteral("Entziehen"), this), "cmdEntziehen");
    layout->addWidget(cmdEntziehen, 0, Qt::AlignRight);

    connect(cboKoppelnAdresse, &QComboBox::currentIndexChanged, this, &PairingDialog::showAddress);
    connect(cmdEntziehen, &QPushButton::clicked, this, &PairingDialog::cmdEntziehen_Click);
    connect(lstGeraete, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem *item, int column) {
        if (column == 0) {
            m_remote.devices().rename(item->data(0, Qt::UserRole).toInt(), item->text(0));
            m_remote.notifyDevices();
        }
    });
    connect(&remote, &RemoteControl::devicesChanged, this, &PairingDialog::refreshDevices);
    showAddress(0);
    remote.notifyDevices();
}

void PairingDialog::cmdEntziehen_Click()
{
    if (const QTreeWidgetItem *item = lstGeraete->currentItem()) {
        m_remote.devices().revoke(item->data(0, Qt::UserRole).toInt());
        m_remote.notifyDevices();
    }
}

void PairingDialog::showAddress(int index)
{
    const QString url = m_urls.value(index) + QStringLiteral("fernbedienung#") + m_token;
    lblKoppelnUrl->setText(url);
    imgKoppelnQr->setPixmap(QPixmap::fromImage(qrCode(url)));
}

void PairingDialog::refreshDevices()
{
    const QSignalBlocker quiet(lstGeraete); // the names set here are no renaming
    const int current
        = lstGeraete->currentItem() ? lstGeraete->currentItem()->data(0, Qt::UserRole).toInt() : -1;
    lstGeraete->clear();
    for (const RemoteDevice &device : m_remote.devices().devices()) {
        auto *item = new QTreeWidgetItem(lstGeraete,
            { device.name, device.pairedAt.toString(QStringLiteral("HH:mm:ss")), device.lastCommand });
        item->setData(0, Qt::UserRole, device.id);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        if (device.id == current)
            lstGeraete->setCurrentItem(item);
    }
    cmdEntziehen->setEnabled(lstGeraete->topLevelItemCount() > 0);
}

void addPairingToMenu(VelorandWindow &clock, RemoteControl &remote, const WebServer &server)
{
    auto *menu = clock.findChild<QMenu *>(QStringLiteral("Menu"));
    QAction *pairing = menu->addAction(QStringLiteral("Fernbedienung koppeln…"));
    pairing->setObjectName(QStringLiteral("FernbedienungKoppeln"));
    QObject::connect(pairing, &QAction::triggered, &clock, [&clock, &remote, &server] {
        auto *dialog = new PairingDialog(remote, server.urls(), &clock);
        dialog->show();
    });
}
