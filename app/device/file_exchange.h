#pragma once
// The file exchange's own logic, apart from the window: the progress text, the
// steps of "Delete all" (DialogueState), the receive buffer with its prompt
// search, and the watch that gives up on an instrument that has gone silent.

#include "device/instrument_protocol.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class Clock;

// --- progress of a download --------------------------------------------------

inline const QString LoadingStatus = QStringLiteral(" Loading file:");

// The percentage of a download, limited to 100; -1 when the listed size is 0
// and no percentage can be given.
int progressPercent(long long receivedBytes, long long expectedBytes);
// " Loading file: 50%", or " Loading file: 1234 bytes" when the size is unknown.
QString loadingStatusText(long long receivedBytes, long long expectedBytes);

// --- "Delete all" ------------------------------------------------------------

// DialogueState: 2 idle or a single deletion, 1 a step of "Delete all" has been
// sent, 0 "Delete all" waits for the listing that starts its next step.
enum DialogueStates : unsigned char { WaitingForListing = 0, DeleteAllStep = 1, Idle = 2 };

struct ListingStep {
  unsigned char state;
  bool fileListLook;  // write the headers, the popup menu and the connected status
  bool deleteFirst;   // send the deletion of the first file now listed
  bool enableGrid;    // "Delete all" found nothing more to delete
};
// What a listing answer does in a state; `firstListed` is column 0 of row 1.
ListingStep afterListing(unsigned char state, const QString& firstListed);

struct DeletionStep {
  unsigned char state;
  bool enableGrid;
  bool sendListing;
};
// What "File deleted!" does in a state; rowCount is the grid's before it.
DeletionStep afterDeletion(unsigned char state, int rowCount);

// --- the exchange under way ----------------------------------------------------

// Keeps what a request needs while its answer is awaited: the kind of answer,
// how to give the window back as it was when the request fails, and the
// silence watch. The window checks the watch once a second; a request whose
// answer brings no byte for SilenceLimitMs has failed.
class FileExchange : public QObject {
  Q_OBJECT
 public:
  enum class Request { None, Listing, Content, Deletion };
  Q_ENUM(Request)
  static constexpr int SilenceLimitMs = 10000;
  static constexpr int CheckIntervalMs = 500;
  // An answer that grows past this without its prompt is not an answer.
  static constexpr qsizetype MaxAnswerLength = qsizetype{16} * 1024 * 1024;

  explicit FileExchange(Clock& clock, QObject* parent = nullptr);

  // A user's request went out; restore gives the window back as it was before.
  void begin(Request request, std::function<void()> restore);
  // The next request of the same exchange went out (the listing after a
  // deletion, the next step of "Delete all"): the restore of the first stays.
  void next(Request request);
  // The exchange ended well.
  void finish();
  // The exchange failed: ends it and gives the window back (once).
  void abandon();

  Request pending() const { return m_request; }
  bool underWay() const { return m_request != Request::None; }

  // Bytes have arrived: the silence watch starts anew.
  void heard();
  // Whether the pending request has gone silent for too long; emits silence()
  // then. The timer calls it; tests call it after moving their clock.
  bool checkSilence();

  // The receive buffer's prompt search.
  instrument::PromptScanner& scanner() { return m_scanner; }

 Q_SIGNALS:
  void silence(FileExchange::Request request);

 private:
  Clock& m_clock;
  QTimer m_timer;
  Request m_request = Request::None;
  QDateTime m_lastHeard;
  std::function<void()> m_restore;
  instrument::PromptScanner m_scanner;
};
