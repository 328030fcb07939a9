#include "core/ui/FileDrop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace kolbran {

namespace {

QString DroppedPath(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

class FileDropFilter final : public QObject {
public:
    explicit FileDropFilter(QLineEdit* edit) : QObject(edit), edit_(edit) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != edit_)
            return false;
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDragMoveEvent*>(event);
            if (DroppedPath(e->mimeData()).isEmpty())
                return false;
            e->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            const QString path = DroppedPath(e->mimeData());
            if (path.isEmpty())
                return false;
            edit_->setText(path);
            e->acceptProposedAction();
            return true;
        }
        default: return false;
        }
    }

private:
    QLineEdit* edit_;
};

}  // namespace

void AcceptFileDrops(QLineEdit* edit)
{
    edit->setAcceptDrops(true);
    edit->installEventFilter(new FileDropFilter(edit));
}

}  // namespace kolbran
