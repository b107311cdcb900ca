#pragma once
// The serial port's error: a component code and the system's error number.

#include <QByteArray>
#include <QString>

#include <exception>

// Component error codes; ErrorText gives their texts.
enum ComErrorCode {
  CError_OpenFailed = 1,
  CError_WriteFailed = 2,
  CError_ReadFailed = 3,
  CError_InvalidAsync = 4,
  CError_PurgeFailed = 5,
  CError_AsyncCheck = 6,
  CError_SetStateFailed = 7,
  CError_TimeoutsFailed = 8,
  CError_SetupComFailed = 9,
  CError_ClearComFailed = 10,
  CError_ModemStatFailed = 11,
  CError_EscapeComFailed = 12,
  CError_TransmitFailed = 13,
  CError_ConnChangeProp = 14,
  CError_EnumPortsFailed = 15,
  CError_StoreFailed = 16,
  CError_LoadFailed = 17,
  CError_RegFailed = 18,
  CError_LedStateFailed = 19,
  CError_ThreadCreated = 20,
  CError_WaitFailed = 21,
  CError_HasLink = 22,
  CError_RegError = 23,
};

// The text of a component error code; "Unknown Error #" + the number for others.
QString ErrorText(int code);

class EComPort : public std::exception {
 public:
  // systemError is the errno of the failure, -1 when the failure has none.
  EComPort(int code, int systemError, const QString& port);

  int ErrorCode() const { return m_code; }
  int SystemErrorCode() const { return m_systemError; }
  const QString& port() const { return m_port; }

  // "COM Port Error: " + the code's text + " on " + the port name, or without
  // the port when there is no system error number.
  const QString& message() const { return m_message; }
  const char* what() const noexcept override { return m_what.constData(); }

  // The system's own wording of SystemErrorCode ("Permission denied"), empty
  // when there is none; for messages that tell the user what to do about it.
  QString systemErrorText() const;

 private:
  int m_code;
  int m_systemError;
  QString m_port;
  QString m_message;
  QByteArray m_what;
};
