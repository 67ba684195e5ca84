// The report page's behaviour: find-as-you-type over the contents, the
// contents following the scroll, links from the diagram's tables, and, in a
// large report, objects rendered from the embedded data as they come into
// view. The page reads completely without it, except a large report's objects.
"use strict";
(function () {
    const contents = document.getElementById("contents");
    const find = document.getElementById("find");
    const findCount = document.getElementById("find-count");
    if (!contents || !find) {
        return;
    }
    const objectLinks = Array.from(contents.querySelectorAll("a.object-link"));
    const linkFor = new Map();
    for (const link of contents.querySelectorAll("a")) {
        linkFor.set(link.hash.slice(1), link);
    }

    // --- Objects of a large report, rendered from the embedded data.
    let bodies = null;
    const waiting = [];
    const dataElement = document.getElementById("report-objects");

    function render(article) {
        if (!bodies || !article.classList.contains("pending")) {
            return;
        }
        const index = Number(article.dataset.object);
        const holder = article.querySelector(".pending-note");
        const template = document.createElement("template");
        template.innerHTML = bodies[index] || "";
        if (holder) {
            holder.replaceWith(template.content);
        } else {
            article.append(template.content);
        }
        article.classList.remove("pending");
        if (article.classList.contains("diagram")) {
            linkDiagram(article);
        }
    }

    async function unpack(text) {
        const binary = atob(text.trim());
        const bytes = new Uint8Array(binary.length);
        for (let i = 0; i < binary.length; ++i) {
            bytes[i] = binary.charCodeAt(i);
        }
        const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
        return new Response(stream).text();
    }

    if (dataElement) {
        const observer = new IntersectionObserver((entries) => {
            for (const entry of entries) {
                if (entry.isIntersecting) {
                    if (bodies) {
                        render(entry.target);
                        observer.unobserve(entry.target);
                    } else {
                        waiting.push(entry.target);
                    }
                }
            }
        }, { rootMargin: "1500px 0px" });
        document.querySelectorAll(".pending[data-object]").forEach((a) => observer.observe(a));
        unpack(dataElement.textContent).then((text) => {
            bodies = JSON.parse(text);
            waiting.splice(0).forEach(render);
            showTarget();
        });
    }

    function targetOfHash() {
        const id = location.hash.slice(1);
        if (!id) {
            return null;
        }
        let decoded = id;
        try {
            decoded = decodeURIComponent(id);
        } catch (error) {
            // not a percent-encoded name: the identifier as it is
        }
        return document.getElementById(id) || document.getElementById(decoded);
    }

    function showTarget() {
        const target = targetOfHash();
        if (target && target.classList.contains("pending")) {
            render(target);
            target.scrollIntoView();
        }
        if (target) {
            mark(target.id);
        }
    }
    window.addEventListener("hashchange", showTarget);

    // --- The contents follow the scroll.
    let current = null;
    function mark(id) {
        const link = linkFor.get(id);
        if (!link || link === current) {
            return;
        }
        if (current) {
            current.removeAttribute("aria-current");
        }
        current = link;
        link.setAttribute("aria-current", "true");
        const top = link.offsetTop - contents.offsetTop;
        if (top < contents.scrollTop || top > contents.scrollTop + contents.clientHeight - 40) {
            contents.scrollTop = top - contents.clientHeight / 3;
        }
    }
    const visible = new Set();
    const follower = new IntersectionObserver((entries) => {
        for (const entry of entries) {
            if (entry.isIntersecting) {
                visible.add(entry.target);
            } else {
                visible.delete(entry.target);
            }
        }
        let first = null;
        for (const element of visible) {
            if (!first || element.compareDocumentPosition(first) & Node.DOCUMENT_POSITION_FOLLOWING) {
                first = element;
            }
        }
        if (first) {
            mark(first.id);
        }
    }, { rootMargin: "0px 0px -70% 0px" });
    document.querySelectorAll("main [id].part, main article.object").forEach((e) => follower.observe(e));

    // --- Find as you type over the objects' names.
    function applyFind() {
        const words = find.value.trim().toLowerCase();
        let shown = 0;
        for (const link of objectLinks) {
            const hit = !words || link.textContent.toLowerCase().includes(words);
            link.parentElement.hidden = !hit;
            shown += hit ? 1 : 0;
        }
        findCount.textContent = words ? shown + " of " + objectLinks.length + " objects" : "";
        return objectLinks.find((link) => !link.parentElement.hidden);
    }
    find.addEventListener("input", applyFind);
    find.addEventListener("keydown", (event) => {
        if (event.key === "Enter") {
            const first = applyFind();
            if (first) {
                event.preventDefault();
                location.hash = first.hash;
                first.focus();
            }
        } else if (event.key === "Escape") {
            find.value = "";
            applyFind();
        }
    });
    document.addEventListener("keydown", (event) => {
        const inField = event.target instanceof HTMLInputElement ||
            event.target instanceof HTMLTextAreaElement || event.target.isContentEditable;
        if (event.key === "/" && !inField && !event.ctrlKey && !event.metaKey && !event.altKey) {
            event.preventDefault();
            find.focus();
            find.select();
        }
    });

    // --- The diagram's tables lead to the tables' descriptions.
    function encoded(text) {
        let out = "";
        for (const byte of new TextEncoder().encode(text)) {
            const c = String.fromCharCode(byte);
            out += /[A-Za-z0-9_-]/.test(c) ? c : "%" + byte.toString(16).toUpperCase().padStart(2, "0");
        }
        return out;
    }
    function linkDiagram(figure) {
        figure.querySelectorAll("g.table[data-name]").forEach((group) => {
            const id = "table-" + encoded(group.getAttribute("data-name"));
            if (document.getElementById(id)) {
                group.addEventListener("click", () => { location.hash = "#" + id; });
            }
        });
    }
    document.querySelectorAll(".diagram:not(.pending)").forEach(linkDiagram);

    if (!dataElement) {
        showTarget();
    }
})();
