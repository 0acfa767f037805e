#include <gtest/gtest.h>

#include <QComboBox>
#include <QTableWidget>
#include <array>
#include <map>
#include <cstdio>
#include <sstream>

#include "WhoisWindow.h"

extern bool gTraceNamespace;

namespace {

std::string CommandOutput(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  std::array<char, 4096> buf;
  size_t n;
  while (pipe && (n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  if (pipe) ::pclose(pipe);
  return out;
}

// The rows of the property list.
std::map<QString, QString> Properties(const TformMain& form) {
  std::map<QString, QString> rows;
  for (int r = 0; r < form.vleAdapterInfo->rowCount(); ++r)
    rows[form.vleAdapterInfo->item(r, 0)->text()] = form.vleAdapterInfo->item(r, 1)->text();
  return rows;
}

}  // namespace

TEST(AdaptersPage, ShowsExactlyTheInterfacesOfItsNamespaceAsIpSeesThem) {
  if (!gTraceNamespace) GTEST_SKIP() << "needs root for a network namespace of its own";
  TWhoisWindow w;
  w.form->RefreshAdapterList();

  // What ip reports in the same namespace: interfaces with their IPv4
  // addresses (and masks) in the kernel's order, and the default route.
  std::map<QString, QStringList> addresses;
  std::istringstream links(CommandOutput("ip -o link show"));
  QStringList names;
  for (std::string line; std::getline(links, line);) {
    std::istringstream f(line);
    std::string index, name;
    f >> index >> name;
    name = name.substr(0, name.find_first_of(":@"));
    names << QString::fromStdString(name);
  }
  std::istringstream addrs(CommandOutput("ip -o -4 addr show"));
  for (std::string line; std::getline(addrs, line);) {
    std::istringstream f(line);
    std::string index, name, family, cidr;
    f >> index >> name >> family >> cidr;
    addresses[QString::fromStdString(name)] << QString::fromStdString(cidr.substr(0, cidr.find('/')));
  }
  const std::string route = CommandOutput("ip -4 route show default");
  ASSERT_NE(route.find("via 10.201.96.254 dev v0"), std::string::npos) << route;

  QStringList shown;
  for (int i = 0; i < w.form->cbAdapterInfos->count(); ++i) shown << w.form->cbAdapterInfos->itemText(i);
  // The list comes in the order of the adapters' keys, as the registry
  // lists them.
  shown.sort();
  names.sort();
  EXPECT_EQ(shown, names);
  for (int i = 0; i < w.form->cbAdapterInfos->count(); ++i) {
    w.form->cbAdapterInfos->setCurrentIndex(i);
    w.form->cbAdapterInfosSelect();
    auto rows = Properties(*w.form);
    const QString name = w.form->cbAdapterInfos->itemText(i);
    QString expected;
    for (const QString& a : addresses[name]) expected += a + "\r\n";
    EXPECT_EQ(rows["IPAddress"], expected) << name.toStdString();
    EXPECT_EQ(rows["DefaultGateway"], QString(name == "v0" ? "10.201.96.254\r\n" : ""))
        << name.toStdString();
    EXPECT_EQ(rows["EnableDHCP"], "0x00000000");
    EXPECT_EQ(rows["Name"], name);
    EXPECT_TRUE(rows["AdapterID"].startsWith("{")) << name.toStdString();
    EXPECT_EQ(rows["MediaSubType"], QString(name == "lo" ? "0x00000003" : "0x00000001"))
        << name.toStdString();
    if (name == "v0") {
      EXPECT_EQ(rows["SubnetMask"], "255.255.255.0\r\n255.255.0.0\r\n");
    }
    // Every row is read-only.
    for (int r = 0; r < w.form->vleAdapterInfo->rowCount(); ++r)
      EXPECT_FALSE(w.form->vleAdapterInfo->item(r, 1)->flags() & Qt::ItemIsEditable);
  }
}
