// The machine the cleanup is tried on: cards of all three families, one of
// them absent, and nodes no card makes that the cleanup must tell apart by
// their first hardware ID alone, beside the machine's own other hardware.
//
//  a  added, first ID "PCI\VEN_1057&DEV_3410&SUBSYS_0080A5C3" exactly    zavo24
//  b  the machine's expansion bridge, a zavo24 prefix as its second ID
//  c  card zavo24-20   f  card zavo24-30   g  card zavo24-50              zavo24
//  d  card kaltor-100, absent                                             zavo24
//  e  added, another vendor's ID with a zavo24 model's device and subsystem
//  h  card tarnex-a0                                                      tarnex
//  i  card dazarorora-c0                                                  dazarorora
//  j  added, a zavo24 prefix in small letters
//  k  added, a zavo24 ID and no friendly name                             zavo24
//  l  added right after a, an unrelated first ID in a list too long to read
//  m  the machine's absent modem of the cards' vendor
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "machine_testing/test_machine.h"

namespace purgelet_tests {

struct Node {
    char letter;
    std::string instanceId;
    std::string interfaceKey;  // a card's interface key; empty for nodes no card makes
};

class CleanupMachine : public ::testing::Test {
protected:
    CleanupMachine();

    // The letters of the nodes whose keys are gone, in letter order.
    std::string RemovedNodes() const;
    // The nodes of the letters given.
    std::vector<Node> NodesOf(const std::string& letters) const;
    static bool NodeExists(const std::string& instanceId);

    machine_testing::TestMachine machine_;
    std::vector<Node> nodes_;
};

// Every key and value below the device tree's two roots (Enum and
// DeviceClasses): a key as its path, a value as "path|name" with its type
// and bytes.
using TreeSnapshot = std::map<std::string, std::string>;
TreeSnapshot SnapshotTree();
// The snapshot without the keys of `nodes` (node keys, and the interface
// keys of cards) and everything below them.
TreeSnapshot WithoutNodes(TreeSnapshot tree, const std::vector<Node>& nodes);
// What differs between two snapshots, an entry a line; empty when nothing does.
std::string Differences(const TreeSnapshot& expected, const TreeSnapshot& actual);

}  // namespace purgelet_tests
