#!/usr/bin/env python3
"""Generates a module's script-class member tables from its *.members files.

A .members file describes one script class:
    # comment lines
    class <id> <Name> [global]       the class id, its script name; "global": one global object
    dependents <Name> ...            classes whose objects may depend on this class's objects
    <id> <Member> [@<Class>|@window] [= <value> | = "<text>"]
A member with "=" is a constant; "@" gives the operation code that reaches the
member without an object (a class's, or the current window's). Members are
listed in id order; the constants follow the last method after one free id.

Output, for module M into OUT:
    OUT/M/<stem>_members.h    enum of the member ids (k<Name><Member>) and the class info
    OUT/M_member_tables.cpp   the constant tables and Register<M>ClassTables()
    OUT/M/member_tables.h     declares Register<M>ClassTables()
"""
import os
import re
import sys

LINE = re.compile(r'^(\d+) (\w+)(?: @(\w+))?(?: = (0x[0-9A-Fa-f]+|-?\d+|"(?:[^"\\]|\\.)*"))?$')


def fail(path, n, msg):
    sys.exit('%s:%d: %s' % (path, n, msg))


def parse(path):
    cls = {'path': path, 'members': [], 'dependents': [], 'global': False}
    for n, raw in enumerate(open(path, encoding='utf-8'), 1):
        line = raw.rstrip('\n')
        if not line or line.startswith('#'):
            continue
        words = line.split()
        if words[0] == 'class':
            if len(words) not in (3, 4) or (len(words) == 4 and words[3] != 'global'):
                fail(path, n, 'expected: class <id> <Name> [global]')
            cls['id'], cls['name'], cls['global'] = int(words[1]), words[2], len(words) == 4
            continue
        if words[0] == 'dependents':
            cls['dependents'] = words[1:]
            continue
        m = LINE.match(line)
        if not m or 'name' not in cls:
            fail(path, n, 'expected: <id> <Member> [@<Class>] [= <value>], after the class line')
        mid, name, reach, value = int(m.group(1)), m.group(2), m.group(3), m.group(4)
        if cls['members'] and mid <= cls['members'][-1]['id']:
            fail(path, n, 'member ids must rise')
        cls['members'].append({'id': mid, 'name': name, 'reach': reach, 'value': value})
    if 'name' not in cls:
        fail(path, 1, 'no class line')
    methods = [m['id'] for m in cls['members'] if m['value'] is None]
    consts = [m['id'] for m in cls['members'] if m['value'] is not None]
    cls['constant_base'] = (max(methods) if methods else 0) + 1
    if consts and min(consts) <= cls['constant_base'] - 1:
        fail(path, 1, 'a constant stands before a method')
    return cls


def reach_code(reach):
    if reach is None:
        return '0'
    return 'kGlobalCodeCurrentWindow' if reach == 'window' else 'kClass' + reach


def enum_names(cls):
    seen = set()
    names = []
    for m in cls['members']:
        e = 'k%s%s' % (cls['name'], m['name'])
        if e in seen:  # a name that stands twice keeps its first id; the second is named by its id
            e = '%s_%d' % (e, m['id'])
        seen.add(e)
        names.append(e)
    return names


def header(cls, stem):
    n = cls['name']
    out = ['// Generated from %s.members: do not edit.' % stem, '#pragma once',
           '#include "runtime/classes/class_registry.h"', '',
           'enum E%sMember : uint16_t {' % n]
    for e, m in zip(enum_names(cls), cls['members']):
        out.append('    %s = %d,' % (e, m['id']))
    out += ['};', '', 'extern const CClassInfo k%sClassInfo;' % n, '']
    return '\n'.join(out)


def module_source(module, classes, func):
    out = ['// Generated from the *.members files of %s/: do not edit.' % module]
    for cls, stem in classes:
        out.append('#include "%s/%s_members.h"' % (module, stem))
    out += ['#include "%s/member_tables.h"' % module, '', 'namespace {', '']
    for cls, _ in classes:
        n = cls['name']
        out.append('static_assert(kClass%s == %d, "class id of %s");' % (n, cls['id'], n))
        out.append('const CMemberRecord k%sMembers[] = {' % n)
        out.append('    {kClass%s, 0, "%s", 0, 0},' % (n, n))
        for e, m in zip(enum_names(cls), cls['members']):
            flags = 'kMemberConstant' if m['value'] is not None else '0'
            out.append('    {%s, 0, "%s", %s, %s},' % (e, m['name'], reach_code(m['reach']), flags))
        out += ['    {0, 0, nullptr, 0, 0},', '};']
        out.append('const CConstantValue k%sConstants[] = {' % n)
        for e, m in zip(enum_names(cls), cls['members']):
            v = m['value']
            if v is None:
                continue
            if v.startswith('"'):
                out.append('    {%s, 0, %s},' % (e, v))
            else:
                out.append('    {%s, static_cast<int32_t>(%su), nullptr},' % (e, v) if v.startswith('0x')
                           else '    {%s, %s, nullptr},' % (e, v))
        out += ['    {0, 0, nullptr},', '};']
        deps = ''.join('kClass%s, ' % d for d in cls['dependents'])
        out += ['const uint16_t k%sDependents[] = {%s0};' % (n, deps), '']
    out += ['}  // namespace', '']
    for cls, _ in classes:
        n = cls['name']
        out.append('const CClassInfo k%sClassInfo = {kClass%s, k%sMembers, k%sConstants, k%sDependents, %d, %s};'
                   % (n, n, n, n, n, cls['constant_base'], 'true' if cls['global'] else 'false'))
    out += ['', 'void %s() {' % func]
    for cls, _ in classes:
        out.append('    RegisterScriptClassInfo(k%sClassInfo);' % cls['name'])
    out += ['}', '']
    return '\n'.join(out)


def write(path, text):
    # Unchanged output keeps its time stamp, so nothing recompiles for nothing.
    if os.path.exists(path) and open(path, encoding='utf-8').read() == text:
        return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    open(path, 'w', encoding='utf-8').write(text)


def main():
    module, out_dir, func = sys.argv[1], sys.argv[2], sys.argv[3]
    classes = []
    for path in sorted(sys.argv[4:]):
        stem = os.path.splitext(os.path.basename(path))[0]
        cls = parse(path)
        classes.append((cls, stem))
        write(os.path.join(out_dir, module, stem + '_members.h'), header(cls, stem))
    write(os.path.join(out_dir, module, 'member_tables.h'),
          '// Generated: do not edit.\n#pragma once\n\n'
          '// Adds the member tables of the script classes of %s/ to the class registry.\n'
          'void %s();\n' % (module, func))
    write(os.path.join(out_dir, module + '_member_tables.cpp'), module_source(module, classes, func))


main()
