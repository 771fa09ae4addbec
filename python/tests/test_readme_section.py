"""The examples of the README's Python section, run as written from the repository root."""

import doctest


def test_readme_section_examples(repository, monkeypatch):
    monkeypatch.chdir(repository)
    failures, tried = doctest.testfile(str(repository / "README.md"), module_relative=False,
                                       optionflags=doctest.ELLIPSIS | doctest.NORMALIZE_WHITESPACE)
    assert tried > 10 and failures == 0
