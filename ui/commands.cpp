// The main window's commands and the dropped-folder intake.
#include "ui/commands.h"

#include <utility>

#include "engine/convert.h"

namespace dirtree {
namespace {

constexpr std::uint32_t kDirectoryBit = 0x10;

// Where the About box sends fault reports: the project's repository page.
constexpr const char* kFaultReportPage = "dirtree 项目代码仓库页面";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool EndsWithTxt(const Text& path) {
  if (path.size() < 4) return false;
  Text tail = path.substr(path.size() - 4);
  for (char& c : tail)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return tail == ".txt";
}

// The directory attributes under which a dropped item is taken as a target:
// plain, read-only, system, hidden and system.
bool IsAcceptedDropAttributes(std::uint32_t attributes) {
  return attributes == 0x10 || attributes == 0x11 || attributes == 0x14 || attributes == 0x16;
}

}  // namespace

Text LastPathComponent(const Text& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size();) {
    std::size_t next = i + CharacterLength(path, i);
    char c = path[i];
    if ((IsSeparator(c) || c == ':') && next < path.size() && !IsSeparator(path[next])) start = next;
    i = next;
  }
  return path.substr(start);
}

Text ReportNameFor(const Text& target) {
  return ReplaceText(ReplaceText(LastPathComponent(target), "\\", ""), ":", "");
}

Text DesktopDirectory(WindowServices& services) { return services.DesktopFolder(); }

Text DefaultReportName(const WindowSurface& surface) { return ReportNameFor(surface.GetText(ControlId::编辑框1)); }

Text ChooseTargetDirectory(WindowServices& services, WindowHandle owner) {
  FolderBrowserRequest request;
  request.owner = owner;
  request.title = "选择目录树的目标目录";
  return services.BrowseForFolder(request);
}

Text ChooseReportPath(WindowServices& services, const Text& initialName) {
  SaveDialogRequest request;
  request.title = "选择文件保存位置";
  request.filterName = "文本文件(*.txt)";
  request.filterPattern = "*.txt";
  request.initialDirectory = DesktopDirectory(services);
  request.initialName = initialName;
  // Start truncates the report file without asking, so picking an existing
  // file is confirmed here.
  request.promptOverwrite = true;
  return services.ChooseSavePath(request);
}

std::int32_t CheckedAnnotationKind(const WindowSurface& surface) {
  // The captions decide: 单选框2 reads "创建时间", 单选框3 "修改时间".
  static constexpr std::pair<ControlId, std::int32_t> kKinds[] = {
      {ControlId::单选框0, kAnnotateNone},      {ControlId::单选框1, kAnnotateSize},
      {ControlId::单选框2, kAnnotateCreation},  {ControlId::单选框3, kAnnotateLastWrite},
      {ControlId::单选框4, kAnnotateLastAccess},
  };
  for (const auto& [radio, kind] : kKinds)
    if (surface.Checked(radio)) return kind;
  return kAnnotateNone;
}

void MainWindowCommands::SetTarget(const Text& target) {
  surface_.SetText(ControlId::编辑框1, target);
  surface_.SetCaret(ControlId::编辑框1, target.size());
  surface_.SetText(ControlId::编辑框2,
                   DesktopDirectory(services_) + "\\" + DefaultReportName(surface_) + ".TXT");
}

void MainWindowCommands::ShowError(const Text& text) {
  MessageRequest request;
  request.owner = surface_.Handle();
  request.caption = "错误";
  request.text = text;
  request.icon = MessageIcon::kError;
  services_.ShowMessage(request);
}

void MainWindowCommands::ChooseTargetDirectory() {
  Text path = dirtree::ChooseTargetDirectory(services_, surface_.Handle());
  if (path.empty()) return;
  SetTarget(path);
}

bool MainWindowCommands::ConfirmReplace(const Text& path) {
  MessageRequest question;
  question.owner = surface_.Handle();
  question.caption = "确认另存为";
  question.text = path + " 已存在。\r\n要替换它吗？";
  question.icon = MessageIcon::kWarning;
  return services_.AskYesNo(question);
}

void MainWindowCommands::ChooseReportPath() {
  Text chosen = dirtree::ChooseReportPath(services_, DefaultReportName(surface_));
  if (chosen.empty()) return;
  if (!EndsWithTxt(chosen)) {
    // The dialog asked about the name as chosen, but Start empties the name
    // with ".TXT", so an existing file of that name is confirmed here.
    chosen += ".TXT";
    if (fileSystem_.GetEntryAttributes(chosen) != kInvalidAttributes && !ConfirmReplace(chosen)) return;
  }
  surface_.SetText(ControlId::编辑框2, chosen);
  surface_.SetCaret(ControlId::编辑框2, chosen.size());
}

std::optional<bool> MainWindowCommands::PasteInto(ControlId box, const MouseRelease&) {
  Text clip = services_.ClipboardText();
  if (!clip.empty()) surface_.SetText(box, clip);
  // Always consumed: the box's own context menu stays shut.
  return false;
}

void MainWindowCommands::DepthFollowsUnlimited() {
  surface_.SetEnabled(ControlId::编辑框4, !surface_.Checked(ControlId::单选框5));
}

void MainWindowCommands::DepthFollowsSpecified() {
  surface_.SetEnabled(ControlId::编辑框4, surface_.Checked(ControlId::单选框6));
}

void MainWindowCommands::StartReport() {
  // The target is checked before the report file is touched, so a mistyped
  // folder never truncates an earlier report.
  Text target = surface_.GetText(ControlId::编辑框1);
  if (target.empty()) {
    ShowError("请先选择目标目录");
    return;
  }
  std::uint32_t attributes = fileSystem_.GetEntryAttributes(target);
  if (attributes == kInvalidAttributes || (attributes & kDirectoryBit) == 0) {
    ShowError("目标目录不存在：" + target);
    return;
  }

  Text report = surface_.GetText(ControlId::编辑框2);
  writer_.SetTargetDirectory(target);
  if (writer_.SetOutputPath(report) == 0) {
    ShowError("无法创建报告文件：" + report);
    return;
  }
  writer_.SetEntryFilter(0);
  writer_.SetNamePattern("*");
  writer_.SetAnnotationKind(CheckedAnnotationKind(surface_));
  writer_.SetDepthLimit(surface_.Checked(ControlId::单选框5) ? -1
                                                            : TextToInteger(surface_.GetText(ControlId::编辑框4)));
  writer_.SetAnnotationPadding(TextToInteger(surface_.GetText(ControlId::编辑框5)));
  writer_.SetSizeStyle(surface_.Checked(ControlId::单选框7) ? kSizeBytes : kSizeReadable);
  writer_.Generate();
  writer_.CloseOutput();

  if (writer_.WriteFailed()) {
    ShowError("写入报告文件失败：" + report);
    return;
  }
  MessageRequest done;
  done.caption = "信息：";
  done.text = "完成";
  done.taskModal = true;
  services_.ShowMessage(done);
}

void MainWindowCommands::ShowAbout() {
  MessageRequest about;
  about.owner = surface_.Handle();
  about.caption = "Velquor目录树生成器 v1.0";
  about.text = Text("本程序基于 dirtree 项目编写。\r\n问题反馈：请到 ") + kFaultReportPage + "提交问题报告";
  about.taskModal = true;
  services_.ShowMessage(about);
}

void MainWindowCommands::ApplyDroppedPath(std::uint32_t, const char* path) {
  Text text = path != nullptr ? Text(path) : Text();
  if (text.empty()) return;
  if (!IsAcceptedDropAttributes(fileSystem_.GetEntryAttributes(text))) return;
  SetTarget(text);
}

DropHooks MainWindowDropHooks(DropFileRegistry registry, MainWindowCommands& commands) {
  DropHooks hooks;
  hooks.registerWindow = [registry, &commands](WindowHandle window) mutable {
    registry.RegisterDropTarget(static_cast<DropWindow>(window),
                                [&commands](std::uint32_t count, const char* path) {
                                  commands.ApplyDroppedPath(count, path);
                                });
  };
  hooks.unregisterAll = [registry]() mutable { registry.UnregisterDropTarget(0); };
  return hooks;
}

}  // namespace dirtree
