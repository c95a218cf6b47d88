#!/usr/bin/python3
"""Wrye Bash's round trip (wb_check.py --roundtrip) with one allowance.

  wb_roundtrip.py WB_CHECK_PY [--roundtrip] [--quiet] PLUGIN...

Wrye Bash re-sorts the responses of a topic when it saves them (it rebuilds
their order from each response's previous one, and a correct chain can come
back in another order), so here the records of each Topic Children group
(type 7) are compared as a set; their order is checked by the tests with the
project's own reader. Everything else is compared as wb_check.py compares it.
"""
import importlib.util
import sys


def load_checker(path):
    loader_source = importlib.util.spec_from_file_location('wb_check', path)
    module = importlib.util.module_from_spec(loader_source)
    loader_source.loader.exec_module(module)
    return module


def with_topic_children_sorted(structure):
    def sorted_structure(path):
        count, lines = structure(path)
        result, pending, depth = [], None, None
        for line in lines + ['']:
            indent = len(line) - len(line.lstrip(' '))
            if pending is not None and (not line or indent <= depth):
                result.extend(sorted(pending))
                pending = None
            if not line:
                break
            result.append(line) if pending is None else pending.append(line)
            if line.lstrip().startswith('GRUP type 7 '):
                pending, depth = [], indent
        return count, result
    return sorted_structure


def main(argv):
    if not argv:
        print(__doc__)
        return 2
    checker = load_checker(argv[0])
    checker.structure = with_topic_children_sorted(checker.structure)
    return checker.main(argv[1:])


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
