#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <functional>

namespace accettazione {

// Answers the next modal window as a user would (an empty name takes any window). Create it just
// before the click that opens the window with exec(): once that window is up, `azione` runs on it
// (it types, clicks, and normally closes it). A window still open after `limite`, answered or not,
// is closed and the test fails, so a wrong step costs seconds instead of hanging the run.
class RispostaModale {
  public:
    RispostaModale(QString nomeFinestra, std::function<void(QWidget&)> azione,
                   std::chrono::milliseconds limite = std::chrono::seconds(5));
    // Fails the test when no modal window came, or when one other than the one named came.
    ~RispostaModale();
    RispostaModale(const RispostaModale&) = delete;
    RispostaModale& operator=(const RispostaModale&) = delete;

    [[nodiscard]] bool risposta() const { return eseguita_; }

  private:
    void cerca();
    void scaduto();

    QString nome_;
    std::function<void(QWidget&)> azione_;
    QTimer attesa_;
    QTimer limite_;
    QPointer<QWidget> finestra_;
    bool eseguita_ = false;
    bool scaduta_ = false;
};

}  // namespace accettazione
