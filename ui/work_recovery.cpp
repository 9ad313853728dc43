#include "ui/work_recovery.h"

#include "ui/user_messages.h"

void askAboutLeftWork(UserMessages& messages, const std::function<void(LeftWork&)>& recover)
{
    const QString title = QStringLiteral("Recover Work");
    for (LeftWork& left : WorkRecovery::leftWork()) {
        const QString question = QStringLiteral("Unsaved work on \"%1\" from %2 was found. Recover it?")
                                     .arg(left.workName, left.written.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        if (messages.askYesNo(title, question)) {
            recover(left);
            return;
        }
        if (!WorkRecovery::setAside(left))
            messages.showError(title, QStringLiteral("The unsaved work \"%1\" could not be put aside; it is offered "
                                                     "again at the next start.")
                                          .arg(left.file));
    }
}
