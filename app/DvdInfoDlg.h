// The main window: the drive box, the drive's current book types, the two
// choices and their set buttons.
#pragma once

#include <cstdint>
#include <string>

#include "app/PlatformClass.h"
#include "devices/DeviceList.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Font.h"
#include "scsi/AspiLibrary.h"
#include "scsi/CommandStatus.h"
#include "scsi/ScsiPassThrough.h"
#include "devices/DriveBoxLines.h"
#include "ui/Help.h"
#include "framework/HtmlHelp.h"

class CDvdInfoDlg : public CDialog {
 public:
  explicit CDvdInfoDlg(CWnd* parent = nullptr);
  ~CDvdInfoDlg() override;

  // --- Start-up (DvdInfoDlg.cpp) -------------------------------------------
  bool OnInitDialog() override;

  // --- Device discovery and selection (DvdInfoDlgDevices.cpp) ---------------
  // Chooses the way to the drives and discovers them; on failure shows why
  // and ends the dialog.
  bool InitDeviceAccess();
  // Questions every drive letter through the pass-through.
  bool EnumerateSptiDrives();
  // Loads the ASPI library, scans its buses and binds it to the channel.
  bool InitAspi();
  bool EnumerateAspiDevices();
  CommandStatus ScanAspiCommand(const std::uint8_t* cdb, std::uint8_t cdbLength,
                                std::uint8_t directionFlags, void* buffer, std::uint32_t length,
                                const CDeviceInfo& device);
  // The record of the drive box's current line; null after a message.
  CDeviceInfo* GetSelectedDevice();

  // --- Book types (DvdInfoDlgBookTypes.cpp) --------------------------------
  // The bound drive's settings byte (0 to 255), or -1 when the read fails.
  int QueryBookSettings();
  void OnSetPlusRBookType();
  void OnSetPlusRwBookType();
  void RefreshSettingsDisplay();
  void OnSelectDevice();

  // --- Presentation (DvdInfoDlgPresentation.cpp) ---------------------------
  void SetControlTexts();
  void LayoutControls();
  void ApplyDialogFont();
  void AddAboutMenuEntry();
  void OnSysCommand(std::uint32_t id, LParam lParam);
  void OnPaint();
  LResult OnQueryDragIcon();
  void ShowHelp();

  // Window close: frees every device record first.
  void OnClose();

 protected:
  const MessageMapBase& GetMessageMap() const override;
  void DoDataExchange(CDataExchange& dx) override;

 private:
  // The tests' view of the members, which nothing else reads.
  friend class DialogInspector;

  // The steps of initialisation after discovery.
  void SelectFirstDrive();
  // One set button: gate, confirmation, write, refresh.
  void ConfirmAndSetBookType(std::uint8_t valueByte);
  // Empties the drive box and fills it from the device list, one line of
  // `format` per record, first line selected; the number of lines. A record
  // whose line cannot be added is destroyed: line i always names element i.
  int FillDriveBox(DriveBoxLineFormat format);
  // Destroys a record taken out of the list, leaving it neither selected nor bound.
  void DiscardRecord(CDeviceInfo* device);

  CAspiLibrary m_aspiLibrary;
  // Asks which Windows runs, once; opens drives through the platform the window runs on.
  CScsiPassThrough m_channel{RouteFor(GetPlatformClass()), GetPlatform()};
  DeviceList m_deviceList;
  CDeviceInfo* m_selectedDevice = nullptr;
  CFont m_font;
  PlatformClass m_platformClass = kPlatformUnknown;
  CButton m_setPlusRButton;
  CButton m_setPlusRwButton;
  CComboBox m_driveBox;
  std::string m_plusRText;
  std::string m_plusRwText;
  int m_plusRChoice = -1;
  int m_plusRwChoice = -1;
  IconHandle m_icon = nullptr;
  int m_firstSelection = 0;
  HtmlHelpLoader m_htmlHelp;
};
