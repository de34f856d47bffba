#include "platform/host/AuditPage.h"

#include <cmath>

#include "platform/host/AuditReport.h"
#include "platform/host/HTMLText.h"

namespace Host {

namespace {

std::string px(double value) {
  return std::to_string(static_cast<long>(std::lround(value))) + "px";
}

}  // namespace

const std::string_view auditPageCSS = R"css(  .shot { display: none; position: relative; }
  .shot .count { position: absolute; top: 2px; left: 2px; background: #d33; color: #fff;
                 border-radius: 9px; padding: 0 6px; font-size: 11px; line-height: 18px; }
  .shot .outline { display: none; position: absolute; border: 1px solid #ff3b30;
                   box-sizing: border-box; }
  .shot .outline span { position: absolute; top: -14px; left: -1px; font-size: 10px;
                        color: #fff; background: #ff3b30; padding: 0 3px; }
  .shot ol { display: none; margin: 4px 0 0; padding-left: 20px; font-size: 11px;
             color: #e8c0c0; max-width: 640px; }
  #show-findings { position: absolute; opacity: 0; pointer-events: none; }
  #show-findings:checked ~ main .outline { display: block; }
  #show-findings:checked ~ main .shot ol { display: block; }
  #show-findings:checked ~ nav label[for=show-findings] { background: #d33; color: #fff; }
)css";

std::string auditedPictureHTML(std::string_view image, std::string_view classes,
                               const std::vector<Finding>& findings) {
  std::string html = "<div class=\"shot " + std::string(classes) + "\">" + std::string(image);
  if (findings.empty()) return html + "</div>";
  html += "<span class=\"count\" title=\"findings\">" + std::to_string(findings.size()) + "</span>";
  std::string list = "<ol>";
  for (std::size_t i = 0; i < findings.size(); ++i) {
    const Finding& f = findings[i];
    html += "<div class=\"outline\" style=\"left:" + px(f.frame.x) + ";top:" + px(f.frame.y) +
            ";width:" + px(f.frame.width) + ";height:" + px(f.frame.height) + "\"><span>" +
            std::to_string(i + 1) + "</span></div>";
    list += "<li>" + detail::escapeHTML(describeFinding(f)) + "</li>";
  }
  return html + list + "</ol></div>";
}

}  // namespace Host
