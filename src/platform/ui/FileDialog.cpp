#include "FileDialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

#include "platform/fs/Device.h"
#include "platform/fs/DevicePath.h"
#include "platform/ui/ModalRun.h"
#include "platform/ui/ScreenArea.h"
#include "platform/ui/Wnd.h"

namespace {

// "bmpﾌｧｲﾙ(*.bmp) |*.bmp||" as the toolkit's "bmpﾌｧｲﾙ(*.bmp)  (*.bmp)".
QString ToolkitFilter(std::string_view filter) {
    QStringList filters;
    size_t start = 0;
    while (start < filter.size()) {
        const size_t bar = filter.find('|', start);
        if (bar == std::string_view::npos || bar == start) break;
        const size_t end = filter.find('|', bar + 1);
        const std::string_view name = filter.substr(start, bar - start);
        const std::string_view pattern =
            filter.substr(bar + 1, (end == std::string_view::npos ? filter.size() : end) - bar - 1);
        filters << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).trimmed() +
                       " (" +
                       QString::fromUtf8(pattern.data(), static_cast<qsizetype>(pattern.size()))
                           .replace(';', ' ') +
                       ")";
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return filters.join(QStringLiteral(";;"));
}

// The address line names folders as the device does ("\\My Documents"), not by their host
// path: each entry of the toolkit's look-in list is renamed whenever it is filled.
constexpr int kUrlRole = Qt::UserRole + 1;  // where the look-in list keeps each folder
void ShowDevicePaths(QFileDialog& dialog, const QString& root) {
    auto* lookIn = dialog.findChild<QComboBox*>(QStringLiteral("lookInCombo"));
    if (lookIn == nullptr) return;
    const auto rename = [lookIn, root] {
        for (int i = lookIn->count() - 1; i >= 0; --i) {
            const QString host =
                QFileInfo(lookIn->itemData(i, kUrlRole).toUrl().toLocalFile()).canonicalFilePath();
            if (host != root && !host.startsWith(root + "/")) {
                // The host's folders above the root, and its "computer": not on the device.
                if (i != lookIn->currentIndex()) lookIn->removeItem(i);
                continue;
            }
            QString device = host.mid(root.size());
            device.replace('/', '\\');
            const QString shown = device.isEmpty() ? QStringLiteral("\\") : device;
            if (lookIn->itemText(i) != shown) lookIn->setItemText(i, shown);
        }
    };
    QObject::connect(&dialog, &QFileDialog::directoryEntered, lookIn, rename, Qt::QueuedConnection);
    QObject::connect(lookIn->model(), &QAbstractItemModel::rowsInserted, lookIn, rename,
                     Qt::QueuedConnection);
    // The toolkit writes its host path back whenever the folder's entry changes.
    QObject::connect(lookIn->model(), &QAbstractItemModel::dataChanged, lookIn, rename,
                     Qt::QueuedConnection);
    rename();
}

// The toolkit's file dialog kept to the device: its root is the one place it shows, a step
// above it leads back into it, and a file from elsewhere is refused where it is picked, with
// a word why, instead of the dialog closing as if nothing had been chosen.
class DeviceFileDialog : public QFileDialog {
  public:
    DeviceFileDialog(CWnd* owner, const QString& caption)
        : QFileDialog(ParentForNewWindow(owner != nullptr ? owner->GetWidget() : nullptr), caption),
          m_owner(owner) {
        setOption(QFileDialog::DontUseNativeDialog);
        const QString root =
            QFileInfo(QString::fromStdString(Device::HostRoot())).canonicalFilePath();
        setSidebarUrls({QUrl::fromLocalFile(root)});
        setHistory({});
        connect(this, &QFileDialog::directoryEntered, this, [this, root](const QString& folder) {
            const QString real = QFileInfo(folder).canonicalFilePath();
            if (real != root && !real.startsWith(root + "/")) setDirectory(root);
        });
        // Its side bar would only repeat the root: the dialog is narrower without it.
        if (auto* sidebar = findChild<QWidget*>(QStringLiteral("sidebar"))) sidebar->hide();
        ShowDevicePaths(*this, root);
    }

  private:
    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && DevicePathFromHost(files.first().toStdString()).empty()) {
            RunMessageBox(m_owner, "このデバイスの外にあるファイルは使えません。", {}, MB_OK);
            return;
        }
        QFileDialog::accept();
    }

    CWnd* m_owner;
};

}  // namespace

std::string DevicePathFromHost(std::string_view hostPath) {
    const QString root = QFileInfo(QString::fromStdString(Device::HostRoot())).canonicalFilePath();
    QFileInfo chosen(QString::fromUtf8(hostPath.data(), static_cast<qsizetype>(hostPath.size())));
    // The file itself may not exist yet (a save): resolve its folder.
    const QString folder = QFileInfo(chosen.absolutePath()).canonicalFilePath();
    if (root.isEmpty() || folder.isEmpty() || !(folder == root || folder.startsWith(root + "/"))) {
        return {};
    }
    QString relative = folder.mid(root.size()) + "/" + chosen.fileName();
    relative.replace('/', '\\');
    const std::string device = relative.toStdString();
    return ParseDevicePath(device) ? device : std::string();
}

std::string HostFolderOfDevicePath(std::string_view devicePath) {
    const auto names = ParseDevicePath(devicePath);
    std::string host = Device::HostRoot();
    if (!names) return host;
    for (const std::string& name : *names) {
        const std::string next = host + "/" + name;
        if (!QFileInfo(QString::fromStdString(next)).isDir()) break;
        host = next;
    }
    return host;
}

CFileDialog::CFileDialog(bool openFileDialog, std::string_view defaultExtension,
                         std::string_view fileName, UINT flags, std::string_view filter,
                         CWnd* parent)
    : m_bOpen(openFileDialog),
      m_strDefaultExtension(defaultExtension),
      m_strFileName(fileName),
      m_nFlags(flags),
      m_strFilter(filter),
      m_pParent(parent) {}

int CFileDialog::DoModal() {
    std::string chosen;
    if (HasModalHandler()) {
        const ModalRunScope modal(nullptr);
        ModalRun run;
        run.kind = ModalRun::Kind::FileDialog;
        run.caption = m_strTitle;
        run.saving = !m_bOpen;
        run.folder = m_strInitialFolder;
        run.fileName = m_strFileName;
        run.defaultExtension = m_strDefaultExtension;
        run.filter = m_strFilter;
        run.flags = m_nFlags;
        HandleModalRun(run);
        if (run.Result() != IDOK) return IDCANCEL;
        chosen = run.AnsweredPath();
    } else {
        DeviceFileDialog dialog(m_pParent, QString::fromStdString(m_strTitle));
        dialog.setAcceptMode(m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(m_bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, (m_nFlags & OFN_OVERWRITEPROMPT) == 0);
        dialog.setDirectory(QString::fromStdString(HostFolderOfDevicePath(
            m_strInitialFolder.empty() ? m_strFileName : m_strInitialFolder)));
        if (!m_strFileName.empty()) {
            const size_t separator = m_strFileName.find_last_of('\\');
            dialog.selectFile(QString::fromStdString(separator == std::string::npos
                                                         ? m_strFileName
                                                         : m_strFileName.substr(separator + 1)));
        }
        if (!m_strFilter.empty()) dialog.setNameFilter(ToolkitFilter(m_strFilter));
        if (!m_strDefaultExtension.empty())
            dialog.setDefaultSuffix(QString::fromStdString(m_strDefaultExtension));
        ShrinkOntoScreen(dialog, m_pParent);
        const ModalRunScope modal(&dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return IDCANCEL;
        chosen = DevicePathFromHost(dialog.selectedFiles().first().toStdString());
    }
    if (chosen.empty()) return IDCANCEL;
    const size_t separator = chosen.find_last_of('\\');
    const std::string name = separator == std::string::npos ? chosen : chosen.substr(separator + 1);
    if (!m_strDefaultExtension.empty() && name.find('.') == std::string::npos) {
        chosen += "." + m_strDefaultExtension;
    }
    m_strPathName = chosen;
    return IDOK;
}
